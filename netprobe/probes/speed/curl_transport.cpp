#include "probes/speed/curl_transport.h"

#include <curl/curl.h>

namespace netprobe {

namespace {

constexpr long kConnectTimeoutSeconds = 25;
// The header-only request has no watchdog: a server that accepts it and never answers must not
// hold the test for ever.
constexpr long kHeadTimeoutMs = 3000;
constexpr long kMaxRedirects = 5;

// Closes the easy handle on every path.
class EasyHandle {
 public:
  EasyHandle() : handle_(curl_easy_init()) {}
  EasyHandle(const EasyHandle&) = delete;
  EasyHandle& operator=(const EasyHandle&) = delete;
  ~EasyHandle() {
    if (handle_ != nullptr) {
      curl_easy_cleanup(handle_);
    }
  }
  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};

std::size_t DiscardBody(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

// Header lines are consumed; the length was already taken from the header-only request.
std::size_t ConsumeHeader(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

struct FetchState {
  CURL* handle;
  ITransferSink* sink;
};

std::size_t WriteToSink(char* data, std::size_t size, std::size_t count, void* user) {
  auto* state = static_cast<FetchState*>(user);
  if (data == nullptr || state == nullptr) {
    return 0;
  }
  return state->sink->OnData(data, size * count);
}

int SampleProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* state = static_cast<FetchState*>(user);
  curl_off_t speed = 0;
  if (curl_easy_getinfo(state->handle, CURLINFO_SPEED_DOWNLOAD_T, &speed) != CURLE_OK) {
    speed = 0;
  }
  return state->sink->OnProgress(static_cast<double>(speed)) ? 0 : -1;
}

// A body that came with an error status (a missing file's 404 page) measures nothing.
bool SuccessStatus(CURL* handle) {
  long status = 0;
  return curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 &&
         status < 300;
}

}  // namespace

bool CurlTransport::HeadRequest(const std::string& url, std::int64_t& contentLength) {
  EasyHandle easy;
  CURL* handle = easy.get();
  if (handle == nullptr) {
    return false;
  }
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HEADER, 1L);
  curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, DiscardBody);  // not to standard output
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, kHeadTimeoutMs);
  if (curl_easy_perform(handle) != CURLE_OK || !SuccessStatus(handle)) {
    return false;
  }
  curl_off_t length = 0;
  contentLength = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK
                      ? static_cast<std::int64_t>(length)
                      : 0;
  return true;
}

TransferResult CurlTransport::Fetch(const std::string& url, std::int64_t resumeFrom,
                                    ITransferSink& sink) {
  EasyHandle easy;
  CURL* handle = easy.get();
  if (handle == nullptr) {
    return TransferResult::kFailed;
  }
  FetchState state{handle, &sink};
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, ConsumeHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, nullptr);
  curl_easy_setopt(handle, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteToSink);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, SampleProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &state);
  curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);

  const CURLcode result = curl_easy_perform(handle);
  if (result == CURLE_ABORTED_BY_CALLBACK) {
    return TransferResult::kAborted;
  }
  if (result != CURLE_OK || !SuccessStatus(handle)) {
    return TransferResult::kFailed;
  }
  return TransferResult::kComplete;
}

}  // namespace netprobe
