#include "platform/dialog_gtk.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dialog_backend.h"
#include "platform/timers.h"
#include "settings/cp1251.h"

// Dialog records shown as GTK widgets. Texts are converted from Windows-1251
// to UTF-8 here and nowhere else; what a person does comes back as the
// host's Person* calls, just as a script's actions do.

namespace {

struct ControlView {
    GtkWidget* widget = nullptr;  // what is attached to the grid
    GtkWidget* entry = nullptr;   // edit fields and the edit field of a combined list
    GtkWidget* tree = nullptr;    // the list of a combined list or list box
    GtkWidget* grid = nullptr;    // a group box's own grid
    GtkListStore* store = nullptr;
    std::vector<std::string> shownItems;
    int shownSelection = -2;
};

struct DialogView {
    GtkWidget* window = nullptr;
    std::vector<ControlView> controls;
    int syncing = 0;  // >0 while the program changes widgets: their signals are not a person's
    std::vector<ControlRecord*> pendingLists;  // lists to show once the program is done
    bool idleQueued = false;
};

DialogView* ViewOf(DialogRecord* d) {
    return static_cast<DialogView*>(d->view);
}

std::string Utf8(const std::string& cp1251, bool dropCarriageReturns = false) {
    std::string out = Cp1251ToUtf8(cp1251.c_str());
    if (dropCarriageReturns) {
        std::erase(out, '\r');
    }
    return out;
}

std::string FromUtf8(const char* utf8) {
    std::string out;
    Cp1251FromUtf8(utf8 ? utf8 : "", &out);
    return out;
}

// The handle of the dialog a widget belongs to travels as its "dialog" data,
// the control id as "control".
HWND DialogOf(gpointer widget) {
    return static_cast<HWND>(
        GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(widget), "nocturo-dialog")));
}
int IdOf(gpointer widget) {
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "nocturo-control"));
}
void Tag(GtkWidget* widget, HWND dialog, int id) {
    g_object_set_data(G_OBJECT(widget), "nocturo-dialog", GUINT_TO_POINTER(dialog));
    g_object_set_data(G_OBJECT(widget), "nocturo-control", GINT_TO_POINTER(id));
}

bool Syncing(gpointer widget) {
    DialogRecord* d = DialogFind(DialogOf(widget));
    return d == nullptr || ViewOf(d) == nullptr || ViewOf(d)->syncing > 0;
}

// ---- Signals: what the person does -----------------------------------------

void OnClicked(GtkButton* button, gpointer) {
    if (Syncing(button)) {
        return;
    }
    HWND dialog = DialogOf(button);
    int id = IdOf(button);
    if (GTK_IS_CHECK_BUTTON(button)) {
        // GTK has flipped the box already; the host flips its record.
        if (ControlRecord* c = DialogFindControl(dialog, id)) {
            c->checked = !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button));
        }
    }
    PersonClicks(dialog, id);
}

void OnEntryChanged(GtkEditable* entry, gpointer) {
    if (Syncing(entry)) {
        return;
    }
    PersonTypes(DialogOf(entry), IdOf(entry),
                FromUtf8(gtk_entry_get_text(GTK_ENTRY(entry))).c_str());
}

// Refuses typed text that Windows-1251 cannot hold.
void OnInsertText(GtkEditable* editable, gchar* text, gint length, gint*, gpointer) {
    std::string piece(text, length < 0 ? std::string(text).size() : static_cast<size_t>(length));
    std::string converted;
    if (!Cp1251FromUtf8(piece.c_str(), &converted)) {
        gtk_widget_error_bell(GTK_WIDGET(editable));
        g_signal_stop_emission_by_name(editable, "insert-text");
    }
}

void OnComboChanged(GtkComboBox* combo, gpointer) {
    if (Syncing(combo)) {
        return;
    }
    int active = gtk_combo_box_get_active(combo);
    if (active >= 0) {
        PersonPicks(DialogOf(combo), IdOf(combo), active);
    }
}

void OnTreeSelectionChanged(GtkTreeSelection* selection, gpointer tree) {
    if (Syncing(tree)) {
        return;
    }
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(selection, &model, &iter)) {
        return;
    }
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    int position = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    ControlRecord* c = DialogFindControl(DialogOf(tree), IdOf(tree));
    if (c && c->selection == position) {
        return;
    }
    PersonPicks(DialogOf(tree), IdOf(tree), position);
}

// Up and Down in a combined list's edit field move the list's selection.
gboolean OnComboEntryKey(GtkWidget* entry, GdkEventKey* event, gpointer) {
    int delta = 0;
    switch (event->keyval) {
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
            delta = -1;
            break;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
            delta = 1;
            break;
        case GDK_KEY_Page_Up:
            delta = -10;
            break;
        case GDK_KEY_Page_Down:
            delta = 10;
            break;
        default:
            return FALSE;
    }
    ControlRecord* c = DialogFindControl(DialogOf(entry), IdOf(entry));
    if (c == nullptr || c->items.empty()) {
        return TRUE;
    }
    int last = static_cast<int>(c->items.size()) - 1;
    int position = c->selection < 0 ? 0 : std::clamp(c->selection + delta, 0, last);
    if (position != c->selection) {
        PersonPicks(DialogOf(entry), IdOf(entry), position);
    }
    return TRUE;
}

// Return is OK wherever the focus stands, except on a push button, which it
// presses; Escape is Cancel.
gboolean OnWindowKey(GtkWidget* window, GdkEventKey* event, gpointer) {
    HWND dialog = DialogOf(window);
    guint mods = event->state & gtk_accelerator_get_default_mod_mask();
    if (event->keyval == GDK_KEY_Escape && mods == 0) {
        PersonPressesEscape(dialog);
        return TRUE;
    }
    if ((event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) && mods == 0) {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
        if (focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus) &&
            !GTK_IS_COMBO_BOX(gtk_widget_get_parent(focus))) {
            return FALSE;  // GTK presses the focused push button
        }
        PersonPressesReturn(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

gboolean OnDelete(GtkWidget* window, GdkEvent*, gpointer) {
    PersonPressesEscape(DialogOf(window));
    return TRUE;  // the dialog procedure decides
}

// ---- Making the widgets ----------------------------------------------------

// The pixel width of n average characters of a widget's font.
int CharsWide(GtkWidget* widget, int n) {
    PangoContext* context = gtk_widget_get_pango_context(widget);
    PangoFontMetrics* metrics =
        pango_context_get_metrics(context, pango_context_get_font_description(context), nullptr);
    int width = pango_font_metrics_get_approximate_char_width(metrics) * n / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    return width;
}

GtkWidget* MakeTree(ControlView& v, const DialogControl& t, HWND dialog) {
    v.store = gtk_list_store_new(1, G_TYPE_STRING);
    v.tree = gtk_tree_view_new_with_model(GTK_TREE_MODEL(v.store));
    g_object_unref(v.store);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(v.tree), FALSE);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(v.tree), FALSE);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(v.tree), -1, "",
                                                gtk_cell_renderer_text_new(), "text", 0, nullptr);
    Tag(v.tree, dialog, t.id);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(v.tree));
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
    g_signal_connect(selection, "changed", G_CALLBACK(OnTreeSelectionChanged), v.tree);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scrolled), v.tree);
    int rows = t.heightRows > 0 ? t.heightRows : 8;
    gtk_widget_set_size_request(scrolled, t.widthChars > 0 ? CharsWide(v.tree, t.widthChars) : -1,
                                rows * 22);
    return scrolled;
}

GtkWidget* MakeEntry(ControlView& v, const DialogControl& t, HWND dialog) {
    v.entry = gtk_entry_new();
    Tag(v.entry, dialog, t.id);
    if (t.widthChars > 0) {
        gtk_entry_set_width_chars(GTK_ENTRY(v.entry), t.widthChars);
    }
    gtk_entry_set_activates_default(GTK_ENTRY(v.entry), TRUE);
    g_signal_connect(v.entry, "insert-text", G_CALLBACK(OnInsertText), nullptr);
    g_signal_connect(v.entry, "changed", G_CALLBACK(OnEntryChanged), nullptr);
    return v.entry;
}

GtkWidget* MakeWidget(DialogRecord* d, ControlView& v, const ControlRecord& c) {
    const DialogControl& t = *c.source;
    switch (c.kind) {
        case kControlLabel: {
            GtkWidget* label = gtk_label_new("");
            gtk_label_set_xalign(GTK_LABEL(label), (c.style & kControlCentered) ? 0.5f : 0.0f);
            if (c.style & kControlWrap) {
                gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
                gtk_label_set_justify(GTK_LABEL(label), (c.style & kControlCentered)
                                                            ? GTK_JUSTIFY_CENTER
                                                            : GTK_JUSTIFY_LEFT);
            }
            if (t.font) {
                PangoAttrList* attributes = pango_attr_list_new();
                PangoFontDescription* font = pango_font_description_from_string(t.font);
                pango_attr_list_insert(attributes, pango_attr_font_desc_new(font));
                pango_font_description_free(font);
                gtk_label_set_attributes(GTK_LABEL(label), attributes);
                pango_attr_list_unref(attributes);
            }
            return label;
        }
        case kControlGroupBox: {
            GtkWidget* frame = gtk_frame_new("");
            v.grid = gtk_grid_new();
            gtk_grid_set_row_spacing(GTK_GRID(v.grid), 6);
            gtk_grid_set_column_spacing(GTK_GRID(v.grid), 6);
            gtk_container_set_border_width(GTK_CONTAINER(v.grid), 8);
            gtk_container_add(GTK_CONTAINER(frame), v.grid);
            return frame;
        }
        case kControlButton: {
            GtkWidget* button = gtk_button_new_with_label("");
            Tag(button, d->hwnd, c.id);
            if (c.style & (kControlFlat | kControlLink)) {
                gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
            }
            if (c.style & kControlDefault) {
                gtk_widget_set_can_default(button, TRUE);
            }
            g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), nullptr);
            return button;
        }
        case kControlCheckBox: {
            GtkWidget* check = gtk_check_button_new_with_label("");
            Tag(check, d->hwnd, c.id);
            g_signal_connect(check, "clicked", G_CALLBACK(OnClicked), nullptr);
            return check;
        }
        case kControlEdit:
            return MakeEntry(v, t, d->hwnd);
        case kControlDropDownList: {
            GtkWidget* combo = gtk_combo_box_text_new();
            Tag(combo, d->hwnd, c.id);
            g_signal_connect(combo, "changed", G_CALLBACK(OnComboChanged), nullptr);
            return combo;
        }
        case kControlComboList: {
            GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
            gtk_box_pack_start(GTK_BOX(box), MakeEntry(v, t, d->hwnd), FALSE, FALSE, 0);
            g_signal_connect(v.entry, "key-press-event", G_CALLBACK(OnComboEntryKey), nullptr);
            GtkWidget* list = MakeTree(v, t, d->hwnd);
            // The edit field keeps the keyboard, as in a Windows combined list.
            gtk_widget_set_can_focus(v.tree, FALSE);
            gtk_box_pack_start(GTK_BOX(box), list, TRUE, TRUE, 0);
            return box;
        }
        case kControlListBox:
            return MakeTree(v, t, d->hwnd);
        case kControlProgressBar: {
            GtkWidget* bar = gtk_progress_bar_new();
            if (t.widthChars > 0) {
                gtk_widget_set_size_request(bar, CharsWide(bar, t.widthChars), -1);
            }
            return bar;
        }
        case kControlPicture: {
            GtkWidget* image = gtk_image_new();
            if (t.image && t.imageSize > 0) {
                GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
                if (gdk_pixbuf_loader_write(loader, t.image, t.imageSize, nullptr) &&
                    gdk_pixbuf_loader_close(loader, nullptr)) {
                    gtk_image_set_from_pixbuf(GTK_IMAGE(image),
                                              gdk_pixbuf_loader_get_pixbuf(loader));
                } else {
                    gdk_pixbuf_loader_close(loader, nullptr);
                }
                g_object_unref(loader);
            }
            return image;
        }
        case kControlIcon:
            return gtk_image_new_from_icon_name(c.text.c_str(), GTK_ICON_SIZE_DIALOG);
    }
    return gtk_label_new("");
}

void ShowItems(ControlView& v, const ControlRecord& c) {
    if (c.kind == kControlDropDownList) {
        GtkComboBoxText* combo = GTK_COMBO_BOX_TEXT(v.widget);
        if (v.shownItems != c.items) {
            gtk_combo_box_text_remove_all(combo);
            for (const std::string& item : c.items) {
                gtk_combo_box_text_append_text(combo, Utf8(item).c_str());
            }
            v.shownItems = c.items;
        }
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo), c.selection);
        return;
    }
    if (v.shownItems != c.items) {
        gtk_list_store_clear(v.store);
        for (const std::string& item : c.items) {
            gtk_list_store_insert_with_values(v.store, nullptr, -1, 0, Utf8(item).c_str(), -1);
        }
        v.shownItems = c.items;
        v.shownSelection = -2;
    }
    if (v.shownSelection == c.selection) {
        return;
    }
    v.shownSelection = c.selection;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(v.tree));
    if (c.selection < 0) {
        gtk_tree_selection_unselect_all(selection);
        return;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(c.selection, -1);
    gtk_tree_selection_select_path(selection, path);
    if (gtk_widget_get_realized(v.tree)) {
        gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(v.tree), path, nullptr, TRUE, 0.5f, 0.0f);
    }
    gtk_tree_path_free(path);
}

void ShowControl(DialogRecord* d, ControlRecord* c) {
    DialogView* view = ViewOf(d);
    ControlView& v = view->controls[static_cast<size_t>(c - d->controls.data())];
    GtkWidget* w = v.widget;
    switch (c->kind) {
        case kControlLabel:
            gtk_label_set_text(GTK_LABEL(w), Utf8(c->text, true).c_str());
            break;
        case kControlGroupBox:
            gtk_frame_set_label(GTK_FRAME(w), Utf8(c->text).c_str());
            break;
        case kControlButton:
            if (c->style & kControlLink) {
                gchar* escaped = g_markup_escape_text(Utf8(c->text).c_str(), -1);
                std::string markup =
                    std::string("<span foreground=\"#1a5fb4\"><u>") + escaped + "</u></span>";
                g_free(escaped);
                GtkWidget* label = gtk_bin_get_child(GTK_BIN(w));
                gtk_label_set_markup(GTK_LABEL(label), markup.c_str());
            } else {
                gtk_button_set_label(GTK_BUTTON(w), Utf8(c->text).c_str());
            }
            break;
        case kControlCheckBox:
            gtk_button_set_label(GTK_BUTTON(w), Utf8(c->text).c_str());
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), c->checked);
            break;
        case kControlEdit:
        case kControlComboList: {
            std::string text = Utf8(c->text);
            if (text != gtk_entry_get_text(GTK_ENTRY(v.entry))) {
                gtk_entry_set_text(GTK_ENTRY(v.entry), text.c_str());
            }
            if (c->textLimit > 0) {
                gtk_entry_set_max_length(GTK_ENTRY(v.entry), c->textLimit);
            }
            if (c->kind == kControlComboList) {
                ShowItems(v, *c);
            }
            break;
        }
        case kControlDropDownList:
        case kControlListBox:
            ShowItems(v, *c);
            break;
        case kControlProgressBar: {
            int span = c->rangeHigh - c->rangeLow;
            gtk_progress_bar_set_fraction(
                GTK_PROGRESS_BAR(w), span > 0 ? double(c->position - c->rangeLow) / span : 0.0);
            break;
        }
        case kControlPicture:
        case kControlIcon:
            break;
    }
    gtk_widget_set_sensitive(w, c->enabled);
    gtk_widget_set_visible(w, c->visible);
}

// Shows the lists whose records changed, all at once: a program that fills
// a list item by item does not rebuild the widget for every item. The
// high priority shows them before the next input is handled.
gboolean ShowPendingLists(gpointer handle) {
    DialogRecord* d = DialogFind(static_cast<HWND>(GPOINTER_TO_UINT(handle)));
    DialogView* view = d ? ViewOf(d) : nullptr;
    if (view == nullptr) {
        return G_SOURCE_REMOVE;
    }
    view->idleQueued = false;
    std::vector<ControlRecord*> lists;
    lists.swap(view->pendingLists);
    ++view->syncing;
    for (ControlRecord* c : lists) {
        ShowControl(d, c);
    }
    --view->syncing;
    return G_SOURCE_REMOVE;
}

void Update(DialogRecord* d, ControlRecord* c) {
    DialogView* view = ViewOf(d);
    if (view == nullptr) {
        return;
    }
    if (c && (c->kind == kControlComboList || c->kind == kControlListBox ||
              c->kind == kControlDropDownList)) {
        if (std::find(view->pendingLists.begin(), view->pendingLists.end(), c) ==
            view->pendingLists.end()) {
            view->pendingLists.push_back(c);
        }
        if (!view->idleQueued) {
            view->idleQueued = true;
            g_idle_add_full(G_PRIORITY_HIGH, ShowPendingLists, GUINT_TO_POINTER(d->hwnd), nullptr);
        }
        return;
    }
    ++view->syncing;
    if (c) {
        ShowControl(d, c);
    } else {
        gtk_window_set_title(GTK_WINDOW(view->window), Utf8(d->title).c_str());
        for (ControlRecord& each : d->controls) {
            ShowControl(d, &each);
        }
        if (d->visible && !gtk_widget_get_visible(view->window)) {
            gtk_widget_show(view->window);
        } else if (!d->visible) {
            gtk_widget_hide(view->window);
        }
    }
    --view->syncing;
}

GtkWindow* WindowOf(HWND owner) {
    DialogRecord* d = DialogFind(owner);
    if (d && ViewOf(d)) {
        return GTK_WINDOW(ViewOf(d)->window);
    }
    return nullptr;
}

// Keeps a dialog above a window of another program.
void BeTransientForForeign(GtkWidget* window, HWND owner) {
    if (owner == 0 || DialogFind(owner) || (owner & 0x80000000u)) {
        return;
    }
    GdkDisplay* display = gtk_widget_get_display(window);
    if (!GDK_IS_X11_DISPLAY(display) ||
        owner == GDK_WINDOW_XID(gdk_screen_get_root_window(gtk_widget_get_screen(window)))) {
        return;  // the desktop itself owns nothing
    }
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, owner);
    if (foreign == nullptr) {
        return;  // gone or never was: an unowned dialog
    }
    gtk_widget_realize(window);
    gdk_window_set_transient_for(gtk_widget_get_window(window), foreign);
    g_object_unref(foreign);
}

void Open(DialogRecord* d) {
    auto* view = new DialogView;
    d->view = view;
    view->controls.resize(d->controls.size());
    view->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    Tag(view->window, d->hwnd, 0);
    gtk_window_set_resizable(GTK_WINDOW(view->window), FALSE);
    gtk_window_set_position(GTK_WINDOW(view->window), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_window_set_type_hint(GTK_WINDOW(view->window), GDK_WINDOW_TYPE_HINT_DIALOG);
    if (GtkWindow* parent = WindowOf(d->owner)) {
        gtk_window_set_transient_for(GTK_WINDOW(view->window), parent);
        gtk_window_set_modal(GTK_WINDOW(view->window), TRUE);
    }
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
    gtk_container_add(GTK_CONTAINER(view->window), grid);
    // Group boxes first, so that the controls inside find their grids.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            ControlRecord& c = d->controls[i];
            if ((c.kind == kControlGroupBox) != (pass == 0)) {
                continue;
            }
            ControlView& v = view->controls[i];
            v.widget = MakeWidget(d, v, c);
            const DialogControl& t = *c.source;
            GtkWidget* into = grid;
            if (t.parent != 0) {
                for (size_t k = 0; k < d->controls.size(); ++k) {
                    if (d->controls[k].id == t.parent && view->controls[k].grid) {
                        into = view->controls[k].grid;
                    }
                }
            }
            gtk_widget_set_hexpand(v.widget, (c.style & kControlFill) != 0);
            gtk_widget_set_vexpand(v.widget, (c.style & kControlTall) != 0);
            if (c.kind == kControlButton && !(c.style & (kControlFill | kControlFlat))) {
                gtk_widget_set_halign(v.widget, GTK_ALIGN_FILL);
            }
            gtk_grid_attach(GTK_GRID(into), v.widget, t.column, t.row, t.columnSpan, t.rowSpan);
            gtk_widget_show_all(v.widget);
            if (c.style & kControlDefault) {
                gtk_window_set_default(GTK_WINDOW(view->window), v.widget);
            }
        }
    }
    gtk_widget_show(grid);
    g_signal_connect(view->window, "key-press-event", G_CALLBACK(OnWindowKey), nullptr);
    g_signal_connect(view->window, "delete-event", G_CALLBACK(OnDelete), nullptr);
    ++view->syncing;
    gtk_window_set_title(GTK_WINDOW(view->window), Utf8(d->title).c_str());
    for (ControlRecord& c : d->controls) {
        ShowControl(d, &c);
    }
    --view->syncing;
}

void RunModal(DialogRecord* d) {
    DialogView* view = ViewOf(d);
    BeTransientForForeign(view->window, d->owner);
    if (d->visible) {
        gtk_widget_show(view->window);
        gtk_window_present(GTK_WINDOW(view->window));
    }
    // No control has the focus unless the person moves it there; the
    // first widget that can take it gets it, as a dialog's first tab stop.
    while (!d->ended) {
        g_main_context_iteration(nullptr, TRUE);
    }
}

void Close(DialogRecord* d) {
    DialogView* view = ViewOf(d);
    if (view == nullptr) {
        return;
    }
    gtk_widget_destroy(view->window);
    delete view;
    d->view = nullptr;
    // Let the window manager see the window go before anything else opens.
    while (g_main_context_pending(nullptr)) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

int ToId(int response) {
    switch (response) {
        case GTK_RESPONSE_OK:
            return IDOK;
        case GTK_RESPONSE_CANCEL:
            return IDCANCEL;
        case GTK_RESPONSE_YES:
            return IDYES;
        case GTK_RESPONSE_NO:
            return IDNO;
        default:
            return 0;  // closed: the host decides what that means
    }
}

int ToResponse(int id) {
    switch (id) {
        case IDCANCEL:
            return GTK_RESPONSE_CANCEL;
        case IDYES:
            return GTK_RESPONSE_YES;
        case IDNO:
            return GTK_RESPONSE_NO;
        default:
            return GTK_RESPONSE_OK;
    }
}

int MessageBox(MessageBoxRecord* box) {
    GtkMessageType kind = GTK_MESSAGE_OTHER;
    switch (box->type & MB_ICONMASK) {
        case MB_ICONWARNING:
            kind = GTK_MESSAGE_WARNING;
            break;
        case MB_ICONINFORMATION:
            kind = GTK_MESSAGE_INFO;
            break;
        case MB_ICONQUESTION:
            kind = GTK_MESSAGE_QUESTION;
            break;
        case MB_ICONERROR:
            kind = GTK_MESSAGE_ERROR;
            break;
        default:
            break;
    }
    GtkButtonsType buttons = GTK_BUTTONS_OK;
    switch (box->type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            buttons = GTK_BUTTONS_OK_CANCEL;
            break;
        case MB_YESNO:
            buttons = GTK_BUTTONS_YES_NO;
            break;
        default:
            break;
    }
    GtkWindow* parent = WindowOf(box->owner);
    GtkWidget* dialog =
        gtk_message_dialog_new(parent, parent ? GTK_DIALOG_MODAL : GtkDialogFlags(0), kind, buttons,
                               "%s", Utf8(box->text, true).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), Utf8(box->caption).c_str());
    gtk_dialog_set_default_response(GTK_DIALOG(dialog),
                                    ToResponse(MessageBoxDefaultButton(box->type)));
    if (box->type & MB_TOPMOST) {
        gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    }
    int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return ToId(response);
}

int ChooseFolder(HWND owner, const char* title, std::string* path) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        Utf8(title).c_str(), WindowOf(owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Select", GTK_RESPONSE_ACCEPT, nullptr);
    if (!path->empty()) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), Utf8(*path).c_str());
    }
    int chosen = 0;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        std::string converted;
        // A folder whose name the code page cannot hold cannot be used.
        if (name && Cp1251FromUtf8(name, &converted)) {
            *path = converted;
            chosen = 1;
        }
        g_free(name);
    }
    gtk_widget_destroy(chooser);
    return chosen;
}

// Ready only when something waits: a due timer, a call from another thread
// or a message posted to a dialog; otherwise GTK sleeps and draws.
gboolean PumpCheck(GSource*) {
    if (TimerNextDueIn(GetTickCount()) == 0 || MessageWaitThreadCall(0)) {
        return TRUE;
    }
    for (DialogRecord* d : DialogOpenDialogs()) {
        MSG msg;
        if (PeekMessageA(&msg, d->hwnd, 0, 0, PM_NOREMOVE)) {
            return TRUE;
        }
    }
    return FALSE;
}

// Delivers the project's timers, posted messages and calls from other
// threads from GTK's main loop.
gboolean PumpPrepare(GSource* source, gint* timeout) {
    *timeout = TimerNextDueIn(GetTickCount());
    return *timeout == 0 || PumpCheck(source);
}
gboolean PumpDispatch(GSource*, GSourceFunc, gpointer) {
    DialogPump();
    return G_SOURCE_CONTINUE;
}
GSourceFuncs pumpFuncs = {PumpPrepare, PumpCheck, PumpDispatch, nullptr, nullptr, nullptr};

void Wake() {
    g_main_context_wakeup(nullptr);
}

const DialogBackend gtkBackend = {Open, RunModal, Close, Update, MessageBox, ChooseFolder};

}  // namespace

int DialogUseGtk() {
    static bool ready = false;
    if (!ready) {
        if (!gtk_init_check(nullptr, nullptr)) {
            return 0;
        }
        GSource* pump = g_source_new(&pumpFuncs, sizeof(GSource));
        g_source_attach(pump, nullptr);
        g_source_unref(pump);
        ready = true;
    }
    MessageClaimQueueThread();
    MessageSetThreadCallWake(Wake);
    DialogSetBackend(&gtkBackend);
    return 1;
}
