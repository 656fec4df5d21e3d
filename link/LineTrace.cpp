#include "link/LineTrace.h"

#include <cstdio>
#include <vector>

#include "link/FrameWords.h"
#include "link/OpenFailure.h"

namespace {

class TracedLine final : public SerialLine {
  public:
    TracedLine(std::unique_ptr<SerialLine> line, std::shared_ptr<TraceSink> sink, std::string port)
        : line_(std::move(line)), sink_(std::move(sink)), port_(std::move(port)) {}

    bool Open(const std::string& device) override {
        const bool opened = line_->Open(device);
        sink_->Write(port_,
                     opened ? "open " + device
                            : "cannot open " + OpenFailureLine(device, line_->LastOpenFailure()));
        return opened;
    }
    OpenFailure LastOpenFailure() const override { return line_->LastOpenFailure(); }
    DeviceList PresentDevices() const override { return line_->PresentDevices(); }

    bool Write(const uint8_t* data, size_t count) override {
        const std::vector<uint8_t> frame(data, data + count);
        const bool sent = line_->Write(data, count);
        sink_->Write(port_, std::string("PC->card  ") + HexBytes(frame) + "  " +
                                DescribeRequest(frame) + (sent ? "" : "  not sent"));
        return sent;
    }

    int Read(uint8_t* buffer, size_t count) override {
        const int got = line_->Read(buffer, count);
        if (got < 0) {
            sink_->Write(port_, "card->PC  the line went away");
        } else if (got == 0) {
            sink_->Write(port_, "card->PC  no reply within 1000 ms");
        } else {
            const std::vector<uint8_t> piece(buffer, buffer + got);
            sink_->Write(
                port_, "card->PC  " + HexBytes(piece) + "  " + DescribeReply(piece) +
                           (static_cast<size_t>(got) < count ? "  " + std::to_string(got) + " of " +
                                                                   std::to_string(count) + " bytes"
                                                             : ""));
        }
        return got;
    }

    void Close() override {
        if (line_->IsOpen()) {
            sink_->Write(port_, "close");
        }
        line_->Close();
    }
    bool IsOpen() const override { return line_->IsOpen(); }

  private:
    std::unique_ptr<SerialLine> line_;
    std::shared_ptr<TraceSink> sink_;
    std::string port_;
};

}  // namespace

TraceSink::TraceSink() : name_("on standard error"), output_(TraceOutput::StandardError()) {}

TraceSink::TraceSink(const std::filesystem::path& file) : output_(TraceOutput::File(file)) {
    const std::u8string name = file.u8string();
    name_.assign(name.begin(), name.end());
    if (!output_.Ok()) {
        givenUp_ = true;
        Failed(output_.Reason());
    }
}

void TraceSink::Failed(const std::string& reason) {
    if (!failure_) {
        failure_ = "the trace " + name_ + " cannot be written (" + reason +
                   "); the work goes on without it";
    }
}

void TraceSink::Write(const std::string& port, const std::string& what) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    char time[24];
    std::snprintf(time, sizeof time, "%8lld ms  ", static_cast<long long>(elapsed.count()));
    const std::string line = time + port + (port.empty() ? "" : "  ") + what + "\n";
    const std::lock_guard<std::mutex> lock(mutex_);
    if (givenUp_) {
        return;
    }
    switch (output_.Write(line)) {
        case TraceOutput::Outcome::Written:
            break;
        case TraceOutput::Outcome::LeftOut:
            Failed("its reader does not keep up, and lines were left out");
            break;
        case TraceOutput::Outcome::Failed:
            givenUp_ = true;
            Failed(output_.Reason());
            break;
    }
}

std::optional<std::string> TraceSink::TakeFailure() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_ || failureTaken_) {
        return std::nullopt;
    }
    failureTaken_ = true;
    return failure_;
}

std::unique_ptr<SerialLine> TraceLine(std::unique_ptr<SerialLine> line,
                                      std::shared_ptr<TraceSink> sink, std::string port) {
    return std::make_unique<TracedLine>(std::move(line), std::move(sink), std::move(port));
}

std::shared_ptr<TraceSink> TraceAskedFor(const std::string& file) {
    if (file.empty()) {
        return nullptr;
    }
    return std::make_shared<TraceSink>(std::filesystem::u8path(file));
}

std::unique_ptr<SerialLine> TraceLineInto(std::unique_ptr<SerialLine> line,
                                          const std::shared_ptr<TraceSink>& sink) {
    if (!sink || !sink->Ok()) {
        return line;
    }
    return TraceLine(std::move(line), sink, {});
}
