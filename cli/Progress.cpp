#include "cli/Progress.h"

#include <algorithm>

#include "cli/ShownText.h"

namespace {
constexpr int kBarWidth = 40;
}

std::string FitToWidth(const std::string& line, int columns) {
    if (columns <= 0) {
        return line;
    }
    // The last column is left free: a line that fills it makes some terminals wrap.
    const auto fits = static_cast<size_t>(std::max(columns - 1, 1));
    size_t characters = 0;
    for (size_t at = 0; at < line.size(); ++at) {
        const bool starts = (static_cast<unsigned char>(line[at]) & 0xC0) != 0x80;
        if (starts && ++characters > fits) {
            return line.substr(0, at);
        }
    }
    return line;
}

void Progress::Begin(const std::string& title, int total) {
    title_ = Shown(title);
    total_ = std::max(total, 1);
    done_ = 0;
    activity_.clear();
    drawnWidth_ = 0;
    open_ = true;
    if (style_ == ProgressStyle::Bar) {
        Draw();
    } else if (style_ == ProgressStyle::Lines) {
        out_ << title_ << "\n" << std::flush;
    }
    tenthsShown_ = 0;
}

void Progress::Step() {
    done_ = std::min(done_ + 1, total_);
    activity_.clear();
    if (style_ == ProgressStyle::Bar) {
        Draw();
    } else if (style_ == ProgressStyle::Lines && Tenths() > tenthsShown_) {
        // A log gets a line per tenth of the way, not one per register.
        tenthsShown_ = Tenths();
        out_ << title_ << ": " << done_ << "/" << total_ << "\n" << std::flush;
    }
}

void Progress::Activity(const std::string& activity) {
    activity_ = activity;
    if (style_ == ProgressStyle::Bar) {
        Draw();
    } else if (style_ == ProgressStyle::Lines) {
        out_ << title_ << ": " << activity_ << "\n" << std::flush;
    }
}

int Progress::Tenths() const {
    return done_ * 10 / total_;
}

void Progress::SetTotal(int total) {
    total_ = std::max({total, done_, 1});
    tenthsShown_ = Tenths();
}

void Progress::End() {
    if (open_ && style_ == ProgressStyle::Bar) {
        out_ << "\n" << std::flush;
    }
    open_ = false;
}

void Progress::Draw() {
    const int filled = done_ * kBarWidth / total_;
    std::string line = title_ + " [" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] " +
                       std::to_string(done_) + "/" + std::to_string(total_);
    if (!activity_.empty()) {
        line += " " + activity_;
    }
    line = FitToWidth(line, screen_.columns);
    const size_t width = line.size();
    line.resize(std::max(width, drawnWidth_), ' ');
    drawnWidth_ = width;
    line = FitToWidth(line, screen_.columns);
    out_ << "\r" << line << std::flush;
}
