#pragma once

#include <ostream>
#include <string>

#include "cli/Terminal.h"

// How far a batch with the card has come, on standard error: a bar redrawn in place on a
// terminal, a plain line per tenth of the way otherwise, nothing when quiet.
enum class ProgressStyle { Bar, Lines, Quiet };

class Progress {
  public:
    // `screen`: the terminal the bar is drawn on, whose width cuts it.
    Progress(std::ostream& out, ProgressStyle style, ErrorScreen screen = {})
        : out_(out), style_(style), screen_(screen) {}

    ProgressStyle Style() const { return style_; }
    const ErrorScreen& Screen() const { return screen_; }
    // A new batch of `total` steps, named by `title` ("reading COM1").
    void Begin(const std::string& title, int total);
    // One more step done; it ends the activity shown.
    void Step();
    // What the batch waits for before its next step, shown beside the count ("identifying the
    // card"), so that a card that stays silent for seconds is seen to be waited for.
    void Activity(const std::string& activity);
    // The batch turned out to have another number of steps (the card's family is known).
    void SetTotal(int total);
    // Ends the bar's line; a failed batch leaves the bar where it stopped.
    void End();

  private:
    void Draw();
    int Tenths() const;

    std::ostream& out_;
    ProgressStyle style_;
    ErrorScreen screen_;
    std::string title_;
    std::string activity_;
    size_t drawnWidth_ = 0;  // the bar's last line, so that a shorter one covers it
    int total_ = 0;
    int done_ = 0;
    int tenthsShown_ = 0;
    bool open_ = false;
};

// `line` cut to what a terminal of `columns` shows on one line without wrapping to the next,
// counted in characters; whole when the width is unknown (0).
std::string FitToWidth(const std::string& line, int columns);
