#include "support/speed_fakes.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kestrel::test {

bool FakeTransport::HeadRequest(const std::string&, std::int64_t& contentLength) {
  const Head& head = heads[std::min<std::size_t>(headCalls, heads.size() - 1)];
  ++headCalls;
  if (head.succeeds) {
    contentLength = head.length;
  }
  return head.succeeds;
}

netprobe::TransferResult FakeTransport::Fetch(const std::string& url, std::int64_t resumeFrom,
                                              netprobe::ITransferSink& sink) {
  ++fetchCalls;
  fetchedUrl = url;
  resumedFrom = resumeFrom;
  for (const Chunk& chunk : chunks) {
    if (chunk.bytes > 0) {
      const std::string data(chunk.bytes, 'p');
      if (sink.OnData(data.data(), data.size()) != data.size()) {
        return netprobe::TransferResult::kFailed;
      }
    }
    if (!sink.OnProgress(chunk.speed)) {
      return netprobe::TransferResult::kAborted;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(chunk.pauseMs));
  }
  while (stallAfterChunks) {
    if (!sink.OnProgress(0.0)) {
      return netprobe::TransferResult::kAborted;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return result;
}

namespace {

class FakePayloadFile : public netprobe::IPayloadFile {
 public:
  FakePayloadFile(std::shared_ptr<FakeSpeedFiles::Payload> payload, std::size_t limit)
      : payload_(std::move(payload)), limit_(limit) {
    payload_->open = true;
  }
  ~FakePayloadFile() override {
    payload_->open = false;
    payload_->removed = true;
  }
  std::size_t Write(const char* data, std::size_t size) override {
    const std::size_t room = limit_ - std::min(limit_, payload_->bytes.size());
    const std::size_t written = std::min(room, size);
    payload_->bytes.append(data, written);
    return written;
  }
  std::uint64_t Size() override { return payload_->bytes.size(); }

 private:
  std::shared_ptr<FakeSpeedFiles::Payload> payload_;
  std::size_t limit_;
};

}  // namespace

bool FakeSpeedFiles::CommonAppDataFolder(std::wstring& out) {
  if (folderKnown) {
    out = folder;
  }
  return folderKnown;
}

void FakeSpeedFiles::RemoveLeftover(const std::wstring& path) {
  if (leftovers.erase(path) > 0) {
    removedLeftovers.push_back(path);
  }
}

std::uint64_t FakeSpeedFiles::FileSize(const std::wstring& path) {
  const auto found = leftovers.find(path);
  return found != leftovers.end() ? found->second : 0;
}

std::unique_ptr<netprobe::IPayloadFile> FakeSpeedFiles::CreateNew(const std::wstring& path) {
  createdPaths.push_back(path);
  if (leftovers.count(path) > 0 || planted.count(path) > 0) {
    return nullptr;
  }
  payload = std::make_shared<Payload>();
  return std::make_unique<FakePayloadFile>(payload, writeLimit);
}

}  // namespace kestrel::test
