#include "cli/PortConsole.h"

namespace {

// Terminal control: the cursor up or down `lines`, and the rest of the line cleared.
std::string CursorUp(size_t lines) {
    return "\x1b[" + std::to_string(lines) + "A";
}
std::string CursorDown(size_t lines) {
    return "\x1b[" + std::to_string(lines) + "B";
}
constexpr char kClearToEnd[] = "\x1b[K";

}  // namespace

PortConsole::PortConsole(std::ostream& err, ProgressStyle style,
                         const std::vector<std::string>& ports)
    : err_(err), style_(style) {
    for (size_t index = 0; index < ports.size(); ++index) {
        lines_.push_back(ports[index] + ": waiting");
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
        lines_[index] = text;
        Redraw(index);
    }
}

void PortConsole::Redraw(size_t index) {
    const size_t below = lines_.size() - index;
    err_ << CursorUp(below) << "\r" << lines_[index] << kClearToEnd << CursorDown(below) << "\r"
         << std::flush;
}
