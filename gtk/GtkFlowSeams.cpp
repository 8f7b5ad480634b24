#include "gtk/GtkFlowSeams.h"

#include "gtk/BalloonWindow.h"
#include "gtk/FlowTrace.h"
#include "gtk/PosixLog.h"
#include "gtk/WaitHintWindow.h"
#include "gtk/WaylandDataControl.h"
#include "gtk/WaylandPasteReplacement.h"
#include "gtk/X11PasteReplacement.h"
#include "translate/ReplaceWays.h"
#include "translate/ServiceExchange.h"

#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <memory>
#include <optional>

namespace tervane {

namespace {

// PRIMARY is only read: there is nothing to undo and no clipboard taken aside.
class PrimarySelection final : public Selection {
  public:
    PrimarySelection(std::string text, DataControlSelections* seat, std::string unavailable)
        : text_(std::move(text)), seat_(seat), unavailable_(std::move(unavailable)) {}
    const std::string& Text() const override { return text_; }
    void KeepClipboard() override {}
    // Through the clipboard and a paste keystroke: XTest on X11; in a Wayland session the
    // compositor's virtual keyboard, where it offers one and data-control.
    void Replace(const std::string& text, std::function<void(bool taken)> over) override {
        if (!unavailable_.empty())
            throw std::runtime_error(unavailable_);
        if (seat_)
            wayland_ = std::make_unique<WaylandPasteReplacement>(*seat_, text, std::move(over));
        else
            x11_ = std::make_unique<X11PasteReplacement>(text, std::move(over));
    }

  private:
    std::string text_;
    DataControlSelections* seat_; // in a Wayland session
    std::string unavailable_;
    // The user's clipboard back when they go.
    std::unique_ptr<X11PasteReplacement> x11_;
    std::unique_ptr<WaylandPasteReplacement> wayland_;
};

struct ShownWaitHint final : WaitHintShower::Shown {
    ShownWaitHint(int x, int y, std::string_view text, WaitHintRect monitor)
        : hint(x, y, text, monitor) {}
    WaitHintWindow hint;
};

} // namespace

PrimarySelectionSource::PrimarySelectionSource()
    : reader_(MakePrimaryReader(gdk_display_get_default())) {
    TraceFlowPoint((std::string("selection:") + reader_->Way()).c_str());
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default()))
        return;
    dataControl_ = dynamic_cast<DataControlSelections*>(reader_.get());
    replaceUnavailable_ =
        WaylandReplaceUnavailable(dataControl_ != nullptr, dataControl_ && dataControl_->CanType());
}

// An application that never answers cannot hold the program: the reader gives up after 2 s.
void PrimarySelectionSource::Read(std::function<void()> ready) {
    text_.reset();
    reading_ = true;
    reader_->Read([this, alive = std::weak_ptr<int>(alive_),
                   ready = std::move(ready)](std::optional<std::string> text) {
        if (alive.expired())
            return;
        reading_ = false;
        text_ = std::move(text);
        ready();
    });
}

std::unique_ptr<Selection> PrimarySelectionSource::Capture() {
    std::optional<std::string> text = std::move(text_);
    text_.reset();
    if (!text)
        return nullptr;
    return std::make_unique<PrimarySelection>(std::move(*text), dataControl_, replaceUnavailable_);
}

// The service is on the loopback address, which the HTTP client never sends through a
// proxy, and Linux keeps no system proxy setting the way the Windows registry does: there
// is nothing to bring up to date.
void GtkTranslationExchange::ApplyProxy() {}

namespace {

// One exchange: what the worker needs, and what it gives back to the main loop.
struct ExchangeJob {
    std::shared_ptr<HttpClient> http;
    std::string address, text, sourceCode, targetCode;
    ExchangeKind kind;
    TranslationExchange::Done done;
    ServiceAccount account;
    ErrorGuard guard;
    ExchangeAnswer answer;
    bool unreachable = false;
};

void RunExchange(GTask*, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<ExchangeJob*>(data);
    try {
        if (job->kind == ExchangeKind::Word) {
            ServiceTranslation word =
                RequestWord(*job->http, job->address, job->text, job->sourceCode, job->targetCode);
            job->answer.translation = std::move(word.translation);
            job->answer.entries = std::move(word.entries);
        } else {
            job->answer.translation = RequestTranslation(*job->http, job->address, job->text,
                                                         job->sourceCode, job->targetCode);
        }
    } catch (const HttpConnectionError&) {
        job->answer.error = std::current_exception();
        job->unreachable = true;
    } catch (...) {
        job->answer.error = std::current_exception();
    }
}

void OnExchangeDone(GObject*, GAsyncResult* result, gpointer) {
    GTask* task = G_TASK(result);
    if (g_task_return_error_if_cancelled(task))
        return;
    auto* job = static_cast<ExchangeJob*>(g_task_get_task_data(task));
    // The supervisor knows better than "not running": it saw the service end and is
    // starting it again. It is asked here, on the main loop that keeps its state.
    if (job->unreachable && job->account)
        if (const std::string account = job->account(); !account.empty())
            job->answer.error = std::make_exception_ptr(HttpConnectionError(account));
    job->guard([job] { job->done(std::move(job->answer)); });
}

} // namespace

GtkTranslationExchange::GtkTranslationExchange(std::shared_ptr<HttpClient> http,
                                               std::string address, ServiceAccount account,
                                               ErrorGuard guard)
    : http_(std::move(http)), address_(std::move(address)), account_(std::move(account)),
      guard_(std::move(guard)), cancellable_(g_cancellable_new()) {}

GtkTranslationExchange::~GtkTranslationExchange() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
}

void GtkTranslationExchange::Translate(std::string text, std::string sourceCode,
                                       std::string targetCode, ExchangeKind kind, Done done) {
    auto* job = new ExchangeJob{http_,
                                address_,
                                std::move(text),
                                std::move(sourceCode),
                                std::move(targetCode),
                                kind,
                                std::move(done),
                                account_,
                                guard_,
                                {},
                                false};
    GTask* task = g_task_new(nullptr, cancellable_, OnExchangeDone, nullptr);
    g_task_set_task_data(task, job, [](gpointer data) { delete static_cast<ExchangeJob*>(data); });
    g_task_run_in_thread(task, RunExchange);
    g_object_unref(task);
}

void GtkBalloonPresenter::Show(const BalloonContent& balloon) {
    ShowBalloonWindow(balloon);
}

void GtkTranslationRecorder::Record(std::string_view sourceName, std::string_view targetName,
                                    std::string_view source, std::string_view translation) {
    PosixLogFiles files;
    LocaleClock clock;
    // The desktop's texts end their lines with LF; the log's lines all end with CR LF.
    TranslationLog(LinuxTranslationLogPath(), files, clock)
        .Append(sourceName, targetName, WithCrLfLineEnds(source), WithCrLfLineEnds(translation));
}

std::unique_ptr<WaitHintShower::Shown> GtkWaitHintShower::Show(BalloonPoint at,
                                                               std::string_view text) {
    GtkFlowDesktop desktop;
    const BalloonRect monitor = desktop.MonitorAt(at);
    return std::make_unique<ShownWaitHint>(
        at.x, at.y, text, WaitHintRect{monitor.left, monitor.top, monitor.right, monitor.bottom});
}

// A Wayland client learns nothing of the pointer outside its own surfaces: it counts as
// at the centre of the first monitor, which points the balloon at the centre, and the
// compositor then places it on the output it chooses (WaylandBalloonSurface).
BalloonPoint GtkFlowDesktop::CursorPosition() {
    GdkDisplay* display = gdk_display_get_default();
    if (GDK_IS_WAYLAND_DISPLAY(display)) {
        GdkRectangle area{};
        gdk_monitor_get_geometry(gdk_display_get_monitor(display, 0), &area);
        return {area.x + area.width / 2, area.y + area.height / 2};
    }
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    int x = 0, y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    return {x, y};
}

BalloonRect GtkFlowDesktop::MonitorAt(BalloonPoint point) {
    GdkMonitor* monitor =
        gdk_display_get_monitor_at_point(gdk_display_get_default(), point.x, point.y);
    GdkRectangle area{};
    gdk_monitor_get_geometry(monitor, &area);
    return {area.x, area.y, area.x + area.width, area.y + area.height};
}

bool GtkFlowDesktop::CopyToClipboard(std::string_view text) {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(clipboard, text.data(), static_cast<gint>(text.size()));
    // A clipboard manager, where there is one, keeps the text after the program ends.
    gtk_clipboard_set_can_store(clipboard, nullptr, 0);
    return true;
}

void GtkFlowDesktop::Pause(int) {}

} // namespace tervane
