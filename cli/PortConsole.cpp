#include "cli/PortConsole.h"

#include "cli/ShownText.h"

namespace {

// Terminal control: the cursor up or down `lines`, and the rest of the line cleared.
std::string CursorUp(size_t lines) {
    return "\x1b[" + std::to_string(lines) + "A";
}
std::string CursorDown(size_t lines) {
    return "\x1b[" + std::to_string(lines) + "B";
}
constexpr char kClearToEnd[] = "\x1b[K";

// Lines redrawn in place need a row each, and one below the last for the cursor; with fewer
// rows the first lines would scroll away and the cursor would move into the wrong ones.
ProgressStyle StyleOnScreen(ProgressStyle style, size_t ports, const ErrorScreen& screen) {
    const bool tooFewRows = screen.rows > 0 && ports + 1 > static_cast<size_t>(screen.rows);
    return style == ProgressStyle::Bar && tooFewRows ? ProgressStyle::Lines : style;
}

}  // namespace

PortConsole::PortConsole(std::ostream& err, ProgressStyle style,
                         const std::vector<std::string>& ports, const ErrorScreen& screen)
    : err_(err), style_(StyleOnScreen(style, ports.size(), screen)), columns_(screen.columns) {
    for (size_t index = 0; index < ports.size(); ++index) {
        lines_.push_back(FitToWidth(Shown(ports[index]) + ": waiting", columns_));
        buffers_.push_back(std::make_unique<PortBuffer>(*this, index));
        streams_.push_back(std::make_unique<std::ostream>(buffers_.back().get()));
    }
    if (style_ == ProgressStyle::Bar) {
        // The lines stand below one another from the start; each is redrawn where it stands.
        for (const std::string& line : lines_) {
            err_ << line << "\n";
        }
        err_ << std::flush;
    }
}

PortConsole::~PortConsole() = default;

int PortConsole::PortBuffer::overflow(int c) {
    if (c == traits_type::eof()) {
        return traits_type::not_eof(c);
    }
    if (c == '\r') {
        current_.clear();
    } else if (c == '\n') {
        console_.Show(index_, current_, true);
        current_.clear();
    } else {
        current_ += static_cast<char>(c);
    }
    return c;
}

int PortConsole::PortBuffer::sync() {
    if (!current_.empty()) {
        console_.Show(index_, current_, false);
    }
    return 0;
}

void PortConsole::Show(size_t index, const std::string& text, bool whole) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (style_ == ProgressStyle::Lines && whole) {
        err_ << text << "\n" << std::flush;
    } else if (style_ == ProgressStyle::Bar && !text.empty()) {
        // A line that wrapped would push the lines below it down and out of their places.
        lines_[index] = FitToWidth(text, columns_);
        Redraw(index);
    }
}

void PortConsole::Redraw(size_t index) {
    const size_t below = lines_.size() - index;
    err_ << CursorUp(below) << "\r" << lines_[index] << kClearToEnd << CursorDown(below) << "\r"
         << std::flush;
}
