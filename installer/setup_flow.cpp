#include "installer/setup_flow.h"

#include <unistd.h>

#include "installer/desktop_handover.h"
#include "installer/setup_places.h"
#include "installer/setup_text.h"
#include "settings/cp1251.h"

namespace {

void Pause(int milliseconds) {
    usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

void PrintMessage(void* context, const char* text) {
    std::fprintf(static_cast<FILE*>(context), "%s\n", SetupTextForTerminal(text).c_str());
}

}  // namespace

std::string SetupTextForTerminal(const char* text) {
    std::string utf8 = Cp1251ToUtf8(text);
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            continue;
        }
        out += utf8[i];
    }
    return out;
}

int SetupBeginSession(const std::string& typedFolder, int languageOffset, SetupSession* session) {
    std::string folder;
    const SetupFolderCheck check = SetupNormalizeFolder(typedFolder, &folder);
    if (check != kSetupFolderOk) {
        return check;
    }
    *session = SetupSession{};
    session->folder = folder;
    session->programFolder = SetupProgramFolder();
    session->languageOffset = languageOffset;
    SetupManifestLoad(SetupManifestPath(), &session->manifest);
    return kSetupFolderOk;
}

int SetupFinish(SetupSession* session, const std::string& systemDefaults) {
    int ok = session->settingsResult && session->copyResult && session->unpackResult;
    if (ok) {
        ok = SetupHandOver(session, systemDefaults);
    }
    SetupManifestSave(SetupManifestPath(), &session->manifest);
    return ok;
}

int SetupRunUnattended(const SetupOptions& options, FILE* out) {
    SetupTextBuild();
    setupTextLanguageOffset = options.languageOffset;
    SetupSession session;
    const std::string typed = options.folderGiven ? options.folder : SetupDefaultFolder();
    const int check = SetupBeginSession(typed, options.languageOffset, &session);
    if (check != kSetupFolderOk) {
        PrintMessage(out, SetupTextGet(check == kSetupFolderIsEmpty ? kSetupFolderEmpty
                                                                    : kSetupFolderTooLong));
        return kSetupExitInterrupted;
    }
    PrintMessage(out, SetupTextGet(kSetupTitle));
    if (!SetupPrepareSettings()) {
        PrintMessage(out, SetupTextGet(kSetupNotComplete));
        return kSetupExitNotComplete;
    }
    SetupWriteSettings(&session);
    SetupManifestSave(SetupManifestPath(), &session.manifest);

    PrintMessage(out, SetupTextGet(kSetupCopying));
    SetupCopyHooks hooks;
    hooks.pause = Pause;
    hooks.message = PrintMessage;
    hooks.context = out;
    SetupCopyCarriedFiles(&session, hooks);
    SetupManifestSave(SetupManifestPath(), &session.manifest);

    PrintMessage(out, SetupTextGet(kSetupUnpacking));
    std::fflush(out);
    SetupUnpackControl control;
    SetupUnpackPicture(&session, &control);

    const int ok = SetupFinish(&session, options.systemDefaults);
    if (ok) {
        std::fprintf(out, "Nocturo 3D: %s\n", session.saverPath.c_str());
    }
    PrintMessage(out, SetupTextGet(ok ? kSetupComplete : kSetupNotComplete));
    return ok ? kSetupExitComplete : kSetupExitNotComplete;
}
