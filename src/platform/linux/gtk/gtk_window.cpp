#include "platform/linux/gtk/gtk_window.h"

#include <charconv>
#include <cstdlib>
#include <exception>
#include <utility>
#include <map>
#include <string>
#include <vector>

#include <gtk/gtk.h>

#include "platform/code_page.h"

namespace ZavorPlatform {
namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct WidgetDestroy {
    void operator()(GtkWidget *widget) const { gtk_widget_destroy(widget); }
};
struct ErrorFree {
    void operator()(GError *error) const { g_error_free(error); }
};
struct GFree {
    void operator()(gchar *text) const { g_free(text); }
};
using CssProviderPtr = std::unique_ptr<GtkCssProvider, GObjectUnref>;

bool HasDisplayVariable() {
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char *value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// GTK can be initialised once per process; a failed attempt stays failed.
bool GtkReady() {
    static const bool ready = [] {
        // The plug-in's number formatting must not follow the user's locale.
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

std::string Describe(std::string_view control) { return "\"" + std::string(control) + "\""; }

CssProviderPtr LoadCss(std::string_view css) {
    CssProviderPtr provider(gtk_css_provider_new());
    GError *raw = nullptr;
    if (!gtk_css_provider_load_from_data(provider.get(), css.data(), static_cast<gssize>(css.size()), &raw)) {
        std::unique_ptr<GError, ErrorFree> error(raw);
        throw UiLayoutError(std::string("CSS: ") + (error ? error->message : "?"));
    }
    return provider;
}

std::string CssAlpha(std::uint8_t alpha) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, alpha / 255.0, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

class GtkUiWindow : public UiWindow {
public:
    GtkUiWindow(std::string_view layout, std::string_view css);
    ~GtkUiWindow() override;
    GtkUiWindow(const GtkUiWindow &) = delete;
    GtkUiWindow &operator=(const GtkUiWindow &) = delete;

    std::u16string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::u16string_view text) override;
    void PutCaretAtEnd(std::string_view control) override;
    bool Checked(std::string_view control) const override;
    void SetChecked(std::string_view control, bool checked) override;
    int SelectedIndex(std::string_view control) const override;
    void Select(std::string_view control, int index) override;
    bool Visible(std::string_view control) const override;
    void SetVisible(std::string_view control, bool visible) override;
    void SetStyleClass(std::string_view control, std::string_view styleClass, bool on) override;
    void SetBackground(std::string_view control, UiColour colour) override;
    void Connect(std::string_view control, UiEvent event, std::function<void()> handler) override;
    void ConnectTextInput(std::string_view control, UiTextInputHandler handler) override;
    void ConnectMouseUp(std::function<void()> handler) override;
    void SetDefaultButton(std::string_view control) override;
    void RunModal() override;
    void Close() override;
    std::optional<std::u16string> ChooseSaveFile(const UiSaveFileRequest &request) override;

private:
    // Handlers live here; GTK gets plain pointers to them as user data.
    struct Slot {
        GtkUiWindow *owner;  // non-owning
        gpointer instance = nullptr;  // non-owning: a widget of the window
        gulong id = 0;
        std::function<void()> handler;
        UiTextInputHandler textInput;
    };

    GtkWidget *Widget(std::string_view control) const;
    GtkEntry *Entry(std::string_view control) const;
    Slot *NewSlot();
    void Attach(Slot *slot, gpointer instance, const char *signal, GCallback callback);

    // No exception may unwind through GTK's C frames: the first one ends
    // the modal run and comes out of RunModal.
    void Fail(std::exception_ptr failure);
    static void Run(Slot *slot);

    static void OnSignal(GtkWidget *, gpointer slot);
    static gboolean OnEvent(GtkWidget *, GdkEvent *, gpointer slot);
    static void OnInsertText(GtkEditable *editable, gchar *text, gint length, gpointer position, gpointer slot);
    static gboolean OnKeyPress(GtkWidget *, GdkEventKey *event, gpointer window);
    static gboolean OnDelete(GtkWidget *, GdkEvent *, gpointer window);

    std::unique_ptr<GtkBuilder, GObjectUnref> builder_;
    std::unique_ptr<GtkWidget, WidgetDestroy> window_;
    CssProviderPtr screenCss_;
    std::map<std::string, CssProviderPtr, std::less<>> backgrounds_;
    std::vector<std::unique_ptr<Slot>> slots_;
    GMainLoop *loop_ = nullptr;  // non-owning: lives on RunModal's stack
    GtkWidget *defaultButton_ = nullptr;  // non-owning: a widget of the window
    std::exception_ptr failure_;
    // Set while the program itself changes a text, so that the change does
    // not come back as typing.
    bool settingText_ = false;
};

GtkUiWindow::GtkUiWindow(std::string_view layout, std::string_view css) : builder_(gtk_builder_new()) {
    GError *raw = nullptr;
    if (!gtk_builder_add_from_string(builder_.get(), layout.data(), layout.size(), &raw)) {
        std::unique_ptr<GError, ErrorFree> error(raw);
        throw UiLayoutError(std::string("Layout: ") + (error ? error->message : "?"));
    }
    GObject *window = gtk_builder_get_object(builder_.get(), "Fenster");
    if (window == nullptr || !GTK_IS_WINDOW(window)) throw UiLayoutError("Layout: kein Fenster \"Fenster\"");
    // The builder's reference goes with the builder; the toplevel stays
    // until it is destroyed.
    window_.reset(GTK_WIDGET(window));
    // Enter in the text part of an editable drop-down confirms like in any
    // other text box; that inner entry is made by the drop-down itself.
    GSList *objects = gtk_builder_get_objects(builder_.get());
    for (GSList *item = objects; item != nullptr; item = item->next) {
        if (GTK_IS_COMBO_BOX(item->data) && gtk_combo_box_get_has_entry(GTK_COMBO_BOX(item->data))) {
            GtkWidget *inner = gtk_bin_get_child(GTK_BIN(item->data));
            if (GTK_IS_ENTRY(inner)) gtk_entry_set_activates_default(GTK_ENTRY(inner), TRUE);
        }
    }
    g_slist_free(objects);
    screenCss_ = LoadCss(css);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(screenCss_.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_widget_add_events(window_.get(), GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK);
    g_signal_connect(window_.get(), "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(window_.get(), "delete-event", G_CALLBACK(OnDelete), this);
}

GtkUiWindow::~GtkUiWindow() {
    if (window_) {
        // No handler may run on a half-destroyed window.
        g_signal_handlers_disconnect_by_data(window_.get(), this);
        for (const auto &slot : slots_) g_signal_handler_disconnect(slot->instance, slot->id);
    }
    window_.reset();
    if (screenCss_) {
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(screenCss_.get()));
    }
}

GtkWidget *GtkUiWindow::Widget(std::string_view control) const {
    GObject *object = gtk_builder_get_object(builder_.get(), std::string(control).c_str());
    if (object == nullptr || !GTK_IS_WIDGET(object)) throw UiControlError("unknown control " + Describe(control));
    return GTK_WIDGET(object);
}

GtkEntry *GtkUiWindow::Entry(std::string_view control) const {
    GtkWidget *widget = Widget(control);
    if (GTK_IS_COMBO_BOX(widget) && gtk_combo_box_get_has_entry(GTK_COMBO_BOX(widget))) {
        widget = gtk_bin_get_child(GTK_BIN(widget));
    }
    if (!GTK_IS_ENTRY(widget)) throw UiControlError(Describe(control) + " has no text");
    return GTK_ENTRY(widget);
}

GtkUiWindow::Slot *GtkUiWindow::NewSlot() {
    slots_.push_back(std::make_unique<Slot>());
    slots_.back()->owner = this;
    return slots_.back().get();
}

void GtkUiWindow::Attach(Slot *slot, gpointer instance, const char *signal, GCallback callback) {
    slot->instance = instance;
    slot->id = g_signal_connect(instance, signal, callback, slot);
}

std::u16string GtkUiWindow::Text(std::string_view control) const {
    return Utf8ToUtf16(gtk_entry_get_text(Entry(control)));
}

void GtkUiWindow::SetText(std::string_view control, std::u16string_view text) {
    GtkEntry *entry = Entry(control);
    std::string current = gtk_entry_get_text(entry);
    std::string wanted = Utf8(text);
    // Reset on every way out: a throwing conversion must not leave typing
    // switched off.
    struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{settingText_};
    settingText_ = true;
    if (wanted.size() > current.size() && wanted.compare(0, current.size(), current) == 0) {
        // Appending keeps the rest of the entry as it is, also from within
        // the entry's own insert-text signal.
        gint position = gtk_entry_get_text_length(entry);
        std::string tail = wanted.substr(current.size());
        gtk_editable_insert_text(GTK_EDITABLE(entry), tail.c_str(), static_cast<gint>(tail.size()), &position);
    } else if (wanted != current) {
        gtk_entry_set_text(entry, wanted.c_str());
    }
}

void GtkUiWindow::PutCaretAtEnd(std::string_view control) { gtk_editable_set_position(GTK_EDITABLE(Entry(control)), -1); }

bool GtkUiWindow::Checked(std::string_view control) const {
    GtkWidget *widget = Widget(control);
    if (!GTK_IS_TOGGLE_BUTTON(widget)) throw UiControlError(Describe(control) + " is no check box");
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) != FALSE;
}

void GtkUiWindow::SetChecked(std::string_view control, bool checked) {
    GtkWidget *widget = Widget(control);
    if (!GTK_IS_TOGGLE_BUTTON(widget)) throw UiControlError(Describe(control) + " is no check box");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), checked ? TRUE : FALSE);
}

int GtkUiWindow::SelectedIndex(std::string_view control) const {
    GtkWidget *widget = Widget(control);
    if (!GTK_IS_COMBO_BOX(widget)) throw UiControlError(Describe(control) + " is no list");
    return gtk_combo_box_get_active(GTK_COMBO_BOX(widget));
}

void GtkUiWindow::Select(std::string_view control, int index) {
    GtkWidget *widget = Widget(control);
    if (!GTK_IS_COMBO_BOX(widget)) throw UiControlError(Describe(control) + " is no list");
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(widget));
    if (index < -1 || index >= gtk_tree_model_iter_n_children(model, nullptr)) {
        throw UiControlError("no entry " + std::to_string(index) + " in " + Describe(control));
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget), index);
}

bool GtkUiWindow::Visible(std::string_view control) const { return gtk_widget_get_visible(Widget(control)) != FALSE; }

void GtkUiWindow::SetVisible(std::string_view control, bool visible) {
    gtk_widget_set_visible(Widget(control), visible ? TRUE : FALSE);
}

void GtkUiWindow::SetStyleClass(std::string_view control, std::string_view styleClass, bool on) {
    GtkStyleContext *context = gtk_widget_get_style_context(Widget(control));
    std::string name(styleClass);
    if (on) {
        gtk_style_context_add_class(context, name.c_str());
    } else {
        gtk_style_context_remove_class(context, name.c_str());
    }
}

void GtkUiWindow::SetBackground(std::string_view control, UiColour colour) {
    GtkStyleContext *context = gtk_widget_get_style_context(Widget(control));
    auto old = backgrounds_.find(control);
    if (old != backgrounds_.end()) {
        gtk_style_context_remove_provider(context, GTK_STYLE_PROVIDER(old->second.get()));
        backgrounds_.erase(old);
    }
    std::string css = "* { background-image: none; background-color: rgba(" + std::to_string(colour.red) + "," +
                      std::to_string(colour.green) + "," + std::to_string(colour.blue) + "," +
                      CssAlpha(colour.alpha) + "); }";
    CssProviderPtr provider = LoadCss(css);
    gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    backgrounds_.emplace(std::string(control), std::move(provider));
}

void GtkUiWindow::Connect(std::string_view control, UiEvent event, std::function<void()> handler) {
    GtkWidget *widget = Widget(control);
    Slot *slot = NewSlot();
    slot->handler = std::move(handler);
    switch (event) {
        case UiEvent::Clicked:
            Attach(slot, widget, "clicked", G_CALLBACK(OnSignal));
            break;
        case UiEvent::SelectionChanged:
            Attach(slot, widget, "changed", G_CALLBACK(OnSignal));
            break;
        case UiEvent::KeyReleased:
            Attach(slot, widget, "key-release-event", G_CALLBACK(OnEvent));
            break;
        case UiEvent::FocusLost:
            Attach(slot, widget, "focus-out-event", G_CALLBACK(OnEvent));
            break;
    }
}

void GtkUiWindow::ConnectTextInput(std::string_view control, UiTextInputHandler handler) {
    GtkEntry *entry = Entry(control);
    Slot *slot = NewSlot();
    slot->textInput = std::move(handler);
    Attach(slot, entry, "insert-text", G_CALLBACK(OnInsertText));
}

void GtkUiWindow::ConnectMouseUp(std::function<void()> handler) {
    Slot *slot = NewSlot();
    slot->handler = std::move(handler);
    Attach(slot, window_.get(), "button-release-event", G_CALLBACK(OnEvent));
}

void GtkUiWindow::SetDefaultButton(std::string_view control) {
    GtkWidget *widget = Widget(control);
    if (!GTK_IS_BUTTON(widget)) throw UiControlError(Describe(control) + " is no button");
    gtk_widget_set_can_default(widget, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_.get()), widget);
    defaultButton_ = widget;
}

void GtkUiWindow::Fail(std::exception_ptr failure) {
    if (!failure_) failure_ = std::move(failure);
    Close();
}

void GtkUiWindow::Run(Slot *slot) {
    try {
        slot->handler();
    } catch (...) {
        slot->owner->Fail(std::current_exception());
    }
}

void GtkUiWindow::OnSignal(GtkWidget *, gpointer slot) { Run(static_cast<Slot *>(slot)); }

gboolean GtkUiWindow::OnEvent(GtkWidget *, GdkEvent *, gpointer slot) {
    Run(static_cast<Slot *>(slot));
    return FALSE;
}

void GtkUiWindow::OnInsertText(GtkEditable *editable, gchar *text, gint length, gpointer, gpointer slot) {
    Slot *self = static_cast<Slot *>(slot);
    if (self->owner->settingText_) return;
    try {
        std::string typed = length < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(length));
        if (self->textInput(Utf8ToUtf16(typed))) g_signal_stop_emission_by_name(editable, "insert-text");
    } catch (...) {
        g_signal_stop_emission_by_name(editable, "insert-text");
        self->owner->Fail(std::current_exception());
    }
}

gboolean GtkUiWindow::OnKeyPress(GtkWidget *, GdkEventKey *event, gpointer window) {
    auto *self = static_cast<GtkUiWindow *>(window);
    if (event->keyval == GDK_KEY_Escape) {
        self->Close();
        return TRUE;
    }
    bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
                 event->keyval == GDK_KEY_ISO_Enter;
    GtkWidget *button = self->defaultButton_;
    if (!enter || button == nullptr || !gtk_widget_is_visible(button) || !gtk_widget_is_sensitive(button))
        return FALSE;
    // GTK's own default only answers Enter in text boxes; the window opens
    // with the focus on the action list, whose button would drop down. A
    // plain button under the focus still answers Enter itself.
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(self->window_.get()));
    if (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
    gtk_button_clicked(GTK_BUTTON(button));
    return TRUE;
}

gboolean GtkUiWindow::OnDelete(GtkWidget *, GdkEvent *, gpointer window) {
    // The close box only ends the modal run; the window goes with its owner.
    static_cast<GtkUiWindow *>(window)->Close();
    return TRUE;
}

void GtkUiWindow::RunModal() {
    // A handler that failed before the window was shown ends the run at once.
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    std::unique_ptr<GMainLoop, void (*)(GMainLoop *)> loop(g_main_loop_new(nullptr, FALSE), g_main_loop_unref);
    loop_ = loop.get();
    gtk_window_set_modal(GTK_WINDOW(window_.get()), TRUE);
    gtk_widget_show(window_.get());
    g_main_loop_run(loop_);
    loop_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void GtkUiWindow::Close() {
    gtk_widget_hide(window_.get());
    if (loop_ != nullptr) g_main_loop_quit(loop_);
}

std::optional<std::u16string> GtkUiWindow::ChooseSaveFile(const UiSaveFileRequest &request) {
    std::string title = Utf8(request.title);
    std::unique_ptr<GtkWidget, WidgetDestroy> dialog(gtk_file_chooser_dialog_new(
        title.c_str(), GTK_WINDOW(window_.get()), GTK_FILE_CHOOSER_ACTION_SAVE, "_Abbrechen", GTK_RESPONSE_CANCEL,
        "_Speichern", GTK_RESPONSE_ACCEPT, nullptr));
    GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog.get());
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, request.confirmOverwrite ? TRUE : FALSE);
    for (const UiFileFilter &entry : request.filters) {
        GtkFileFilter *filter = gtk_file_filter_new();  // the chooser takes it over
        gtk_file_filter_set_name(filter, Utf8(entry.description).c_str());
        std::string patterns = Utf8(entry.pattern);
        for (std::size_t start = 0; start <= patterns.size();) {
            std::size_t end = patterns.find(';', start);
            if (end == std::string::npos) end = patterns.size();
            if (end > start) gtk_file_filter_add_pattern(filter, patterns.substr(start, end - start).c_str());
            start = end + 1;
        }
        gtk_file_chooser_add_filter(chooser, filter);
    }
    std::string initial = Utf8(request.initialName);
    std::size_t slash = initial.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        gtk_file_chooser_set_current_folder(chooser, initial.substr(0, slash).c_str());
        initial.erase(0, slash + 1);
    }
    gtk_file_chooser_set_current_name(chooser, initial.c_str());
    if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_ACCEPT) return std::nullopt;
    std::unique_ptr<gchar, GFree> path(gtk_file_chooser_get_filename(chooser));
    if (!path) return std::nullopt;
    std::unique_ptr<gchar, GFree> utf8(g_filename_to_utf8(path.get(), -1, nullptr, nullptr, nullptr));
    return Utf8ToUtf16(utf8 ? utf8.get() : path.get());
}

}  // namespace

std::unique_ptr<UiWindow> CreateGtkWindow(std::string_view layout, std::string_view css) {
    if (!HasDisplayVariable() || !GtkReady()) return nullptr;
    return std::make_unique<GtkUiWindow>(layout, css);
}

bool ShowGtkMessageDialog(const MessageBoxMessage &message) {
    if (!HasDisplayVariable() || !GtkReady()) return false;
    GtkMessageType type = message.icon == MessageBoxIcon::Error     ? GTK_MESSAGE_ERROR
                          : message.icon == MessageBoxIcon::Warning ? GTK_MESSAGE_WARNING
                                                                    : GTK_MESSAGE_OTHER;
    // The text goes in as a plain argument, never as a format string.
    GtkWidget *dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s",
                                               Utf8(message.text).c_str());
    std::unique_ptr<GtkWidget, WidgetDestroy> owner(dialog);
    gtk_window_set_title(GTK_WINDOW(dialog), Utf8(message.caption).c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_run(GTK_DIALOG(dialog));
    owner.reset();
    // Let the window system take the closed dialog off the screen before the
    // caller goes on.
    while (gtk_events_pending()) gtk_main_iteration();
    return true;
}

}  // namespace ZavorPlatform
