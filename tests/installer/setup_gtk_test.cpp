// setup_nocturo's dialogs in GTK on a real display: the main dialog opens in
// English, the language list turns every text Russian, Install runs through
// the progress dialog to the final message box.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "installer/setup_dialogs.h"
#include "installer/setup_flow.h"
#include "platform/dialog_backend.h"
#include "platform/dialog_gtk.h"
#include "tests/installer/temporary_home.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// The titles of the visible GTK windows (UTF-8).
std::vector<std::string> VisibleTitles() {
    std::vector<std::string> titles;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (gtk_widget_get_visible(GTK_WIDGET(window)) && gtk_window_get_title(window)) {
            titles.push_back(gtk_window_get_title(window));
        }
    }
    g_list_free(windows);
    return titles;
}

// Answers the first visible GTK message box with OK, keeping its text.
GtkMessageDialog* VisibleMessageBox() {
    GtkMessageDialog* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
            found = GTK_MESSAGE_DIALOG(item->data);
        }
    }
    g_list_free(windows);
    return found;
}

// With NOCTURO_SCREENSHOT_DIR set, the screen is kept there (the docs'
// pictures are made so).
void Screenshot(const char* name) {
    const char* variable = std::getenv("NOCTURO_SCREENSHOT_DIR");
    if (variable == nullptr) {
        return;
    }
    const std::string folder = variable;
    while (g_main_context_pending(nullptr)) {
        g_main_context_iteration(nullptr, FALSE);  // drawn first
    }
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (gtk_widget_get_visible(window) && gtk_widget_get_window(window) != nullptr) {
            const unsigned long id = gdk_x11_window_get_xid(gtk_widget_get_window(window));
            std::system(("import -window " + std::to_string(id) + " '" + folder + "/" + name +
                         "'")
                            .c_str());
        }
    }
    g_list_free(windows);
}

struct Drive {
    int step = 0;
    int polls = 0;
    std::vector<std::string> englishTitles, russianTitles, messages;
};

gboolean AnswerMessageBoxes(gpointer data) {
    Drive* drive = static_cast<Drive*>(data);
    if (++drive->polls > 600) {  // a minute without the end: give up
        for (DialogRecord* dialog : DialogOpenDialogs()) {
            EndDialog(dialog->hwnd, IDCANCEL);
        }
        return G_SOURCE_REMOVE;
    }
    if (GtkMessageDialog* box = VisibleMessageBox()) {
        gchar* text = nullptr;
        g_object_get(box, "text", &text, nullptr);
        drive->messages.push_back(text != nullptr ? text : "");
        g_free(text);
        gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    }
    return DialogOpenDialogs().empty() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

gboolean DriveMainDialog(gpointer data) {
    Drive* drive = static_cast<Drive*>(data);
    if (DialogOpenDialogs().empty()) {
        return G_SOURCE_CONTINUE;
    }
    HWND main = DialogOpenDialogs().back()->hwnd;
    switch (drive->step++) {
        case 0:
            drive->englishTitles = VisibleTitles();
            Screenshot("setup_main_en.png");
            PersonPicks(main, kSetupLanguageList, 1);
            return G_SOURCE_CONTINUE;
        case 1:
            drive->russianTitles = VisibleTitles();
            Screenshot("setup_main_ru.png");
            // The message boxes come while Install runs the progress dialog
            // inside this call: another source answers them.
            g_timeout_add(100, AnswerMessageBoxes, drive);
            PersonClicks(main, kSetupInstallButton);
            return G_SOURCE_REMOVE;
        default:
            return G_SOURCE_REMOVE;
    }
}

class SetupGtk : public TemporaryHome {};

TEST_F(SetupGtk, OpensInEnglishSwitchesToRussianAndInstalls) {
    ASSERT_EQ(DialogUseGtk(), 1) << "no display";
    Drive drive;
    g_timeout_add(300, DriveMainDialog, &drive);
    EXPECT_EQ(SetupRunDialogs(), kSetupExitComplete);
    EXPECT_THAT(drive.englishTitles, Contains("Setup - Nocturo 3D Screensaver"));
    EXPECT_THAT(drive.russianTitles, Contains("Установка заставки Nocturo 3D"));
    EXPECT_THAT(drive.messages, ElementsAre("Установка программы завершена"));
    EXPECT_TRUE(Exists(Path(".local/share/Nocturo 3D/moon_2048x1024.bmp")));
    EXPECT_TRUE(Exists(Path(".local/bin/Nocturo.scr")));
}

}  // namespace
