#pragma once

// The installer's steps, each a function the dialogs and the unattended run
// share: the settings, the copy of the carried files, the unpacking of the
// large picture. The record of what they add is kept in `manifest`.

#include <mutex>
#include <string>

#include "installer/setup_manifest.h"

struct SetupSession {
    std::string folder;         // the installation folder, ending in '/'
    std::string programFolder;  // where Nocturo.scr goes (~/.local/bin)
    std::string saverPath;      // the installed Nocturo.scr, once written
    int languageOffset = 100;   // the setup's language (setup text offset)
    int settingsResult = 0;     // 1 when every setting was written
    int copyResult = 0;         // 1 when every carried file was written
    int unpackResult = 0;       // 1 when the large picture is complete
    SetupManifest manifest;
};

// The file names the installer adds besides the carried ones.
constexpr const char* kSetupLargePicture = "moon_2048x1024.bmp";
constexpr const char* kSetupPackName = "moon_1024x1024.pack";

// Makes sure the settings key exists (the first step of the progress
// dialog). 0 when it cannot be made: the install stops there.
int SetupPrepareSettings();

// Writes textures00, textures01, places00, places01, Language, ShowStar and
// ShowText, noting each value's old state in the manifest. 1 when all were
// written.
int SetupWriteSettings(SetupSession* session);

// What the copy tells the dialog on its way.
struct SetupCopyHooks {
    void (*pause)(int milliseconds) = nullptr;                   // the pause before each file
    void (*progress)(void* context, int total) = nullptr;        // the running total (may pass 100)
    void (*message)(void* context, const char* text) = nullptr;  // "Can't write file ..."
    void* context = nullptr;
};

// The progress step for `count` files: 100 / count rounded up.
int SetupProgressStep(int count);

// Writes the carried files, in order: the saver into the program folder,
// the others into the installation folder. Returns the copy result.
int SetupCopyCarriedFiles(SetupSession* session, const SetupCopyHooks& hooks);

// Between the worker that unpacks and a Cancel on the dialog's thread.
struct SetupUnpackControl {
    std::mutex lock;
    bool cancelled = false;  // Cancel was pressed: the result is thrown away
    bool finished = false;   // the picture has its final name
};

// Decodes the pack in the installation folder into a temporary file in the
// same folder and renames it to moon_2048x1024.bmp when it is complete and
// undamaged; the pack is deleted whatever the result. After a Cancel (or any
// failure) the temporary file is removed and 1 is never returned.
int SetupUnpackPicture(SetupSession* session, SetupUnpackControl* control);
