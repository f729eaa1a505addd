#include "payload.h"

#include <httplib.h>

#include <algorithm>
#include <array>

#include "core/context.h"

namespace kestrel::server {
namespace {

constexpr std::size_t kPatternSize = 256 * 1024;

// Pseudo-random bytes (they do not compress), repeated; the tail copies the head so that any
// chunk starting inside the pattern can be sent from one pointer.
const std::array<char, kPatternSize + kPayloadMaxChunk>& Pattern() {
  static const auto pattern = [] {
    std::array<char, kPatternSize + kPayloadMaxChunk> bytes{};
    std::uint32_t x = 0x9E3779B9u;
    for (std::size_t i = 0; i < kPatternSize; ++i) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      bytes[i] = static_cast<char>(x & 0xFFu);
    }
    std::copy_n(bytes.begin(), kPayloadMaxChunk, bytes.begin() + kPatternSize);
    return bytes;
  }();
  return pattern;
}

std::size_t ChunkFor(std::int64_t rate) {
  if (rate <= 0) {
    return kPayloadMaxChunk;
  }
  // About a hundred writes a second keeps the pace smooth without costing much.
  return std::clamp<std::size_t>(static_cast<std::size_t>(rate / 100), 4096, kPayloadMaxChunk);
}

bool SendPaced(ServerContext& ctx, httplib::DataSink& sink, std::uint64_t offset,
               std::size_t count) {
  const auto when = ctx.bucket.Reserve(count, std::chrono::steady_clock::now());
  if (!ctx.SleepUntil(when)) {
    return false;
  }
  return sink.write(PayloadBytesAt(offset, count), count);
}

void ServePayload(ServerContext& ctx, httplib::Response& res) {
  const Modes modes = ctx.modes.Get();
  const auto total = static_cast<std::uint64_t>(modes.payloadBytes);
  const PayloadFault fault = modes.payloadFault;
  const std::size_t chunk = ChunkFor(ctx.bucket.Rate());
  const char* type = "application/octet-stream";

  if (fault == PayloadFault::kNoLength) {
    res.set_chunked_content_provider(type, [&ctx, total, chunk](std::size_t offset,
                                                                httplib::DataSink& sink) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, total - offset));
      if (!SendPaced(ctx, sink, offset, count)) {
        return false;
      }
      if (offset + count >= total) {
        sink.done();
      }
      return true;
    });
    return;
  }

  const std::uint64_t cut = fault == PayloadFault::kDrop    ? PayloadDropPoint(total)
                            : fault == PayloadFault::kStall ? PayloadStallPoint(total)
                                                            : total;
  res.set_content_provider(
      static_cast<std::size_t>(total), type,
      [&ctx, fault, cut, chunk](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        if (offset >= cut) {
          // The length promised more: ending here drops the connection mid-transfer.
          if (fault == PayloadFault::kStall) {
            ctx.Stall();
          }
          return false;
        }
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>({chunk, length, cut - offset}));
        return SendPaced(ctx, sink, offset, count);
      });
}

}  // namespace

const char* PayloadBytesAt(std::uint64_t offset, std::size_t count) {
  (void)count;  // at most kPayloadMaxChunk by contract; the pattern's tail covers it
  return Pattern().data() + offset % kPatternSize;
}

std::uint64_t PayloadStallPoint(std::uint64_t total) {
  return std::min<std::uint64_t>(total / 2, 64 * 1024);
}

std::uint64_t PayloadDropPoint(std::uint64_t total) {
  return total / 2;
}

void RegisterPayloadRoutes(httplib::Server& http, ServerContext& ctx) {
  // httplib answers HEAD through the GET route: headers with the length, no body.
  http.Get(R"(/tarvos/DriverFilesUploadFloder/35240/[A-Za-z0-9._-]+)",
           [&ctx](const httplib::Request&, httplib::Response& res) { ServePayload(ctx, res); });
}

}  // namespace kestrel::server
