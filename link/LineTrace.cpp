#include "link/LineTrace.h"

#include <cstdlib>
#include <vector>

#include "link/FrameWords.h"
#include "link/OpenFailure.h"
#include "link/SerialPlatform.h"

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

TraceSink::TraceSink() : file_(stderr) {}

TraceSink::TraceSink(const std::filesystem::path& file)
    : file_(OpenFile(file, "w")), owned_(true) {}

TraceSink::~TraceSink() {
    if (owned_ && file_ != nullptr) {
        std::fclose(file_);
    }
}

void TraceSink::Write(const std::string& port, const std::string& what) {
    if (file_ == nullptr) {
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    const std::lock_guard<std::mutex> lock(mutex_);
    std::fprintf(file_, "%8lld ms  %s%s%s\n", static_cast<long long>(elapsed.count()), port.c_str(),
                 port.empty() ? "" : "  ", what.c_str());
    std::fflush(file_);
}

std::unique_ptr<SerialLine> TraceLine(std::unique_ptr<SerialLine> line,
                                      std::shared_ptr<TraceSink> sink, std::string port) {
    return std::make_unique<TracedLine>(std::move(line), std::move(sink), std::move(port));
}

std::unique_ptr<SerialLine> TraceLineWhenAsked(std::unique_ptr<SerialLine> line) {
    const char* file = std::getenv("BROVANE_TRACE");
    if (file == nullptr || *file == '\0') {
        return line;
    }
    auto sink = std::make_shared<TraceSink>(std::filesystem::u8path(file));
    if (!sink->Ok()) {
        std::fprintf(stderr, "brovane: cannot write the trace to %s\n", file);
        return line;
    }
    return TraceLine(std::move(line), std::move(sink), {});
}
