#pragma once
// Reading the PRIMARY selection (the text highlighted in any application) without touching
// the clipboard, one way per display server: X11's PRIMARY through GTK; on Wayland the wlr
// data-control protocol where the compositor offers it, else GTK's primary selection read
// from a small surface of ours that has the keyboard focus for the moment of the read.
#include <gdk/gdk.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tervane {

// How long the application holding the selection is given to hand it over.
inline constexpr guint kSelectionWaitMs = 2000;

using PrimaryText = std::function<void(std::optional<std::string> text)>;

class PrimaryReader {
  public:
    virtual ~PrimaryReader() = default;
    // Asks for the selection; `done` runs once on the main loop, later, with its text or
    // with nothing when nothing is selected or its owner does not answer within
    // kSelectionWaitMs. The reader must outlive the answer.
    virtual void Read(PrimaryText done) = 0;
    // Which way it reads, for the trace: "x11", "data-control", "focused-surface".
    virtual const char* Way() const = 0;
};

// The way `display` offers. TERVANE_WAYLAND_SELECTION=focused-surface (for tests) takes the
// focused surface's way even where data-control is offered.
std::unique_ptr<PrimaryReader> MakePrimaryReader(GdkDisplay* display);

// `done` made to run once: with the first answer given, or with nothing after `waitMs`.
// The returned function gives the answer; calling it after the deadline does nothing.
PrimaryText AnswerOnceWithin(guint waitMs, PrimaryText done);

// GTK's asynchronous read of `display`'s PRIMARY (X11, or a focused Wayland surface).
void RequestGtkPrimary(GdkDisplay* display, PrimaryText done);

} // namespace tervane
