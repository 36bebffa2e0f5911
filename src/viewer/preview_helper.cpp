#include "viewer/preview_helper.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "viewer/preview_protocol.h"
#include "viewer/preview_sandbox.h"

namespace quorvela::viewer {

namespace {

enum HelperStatus { kInputEnded = 0, kCannotStart = 1, kBadRequest = 2, kOutOfMemory = 3, kCannotReply = 4 };

PreviewImage Answer(const PreviewDecoder& decode, const PreviewRequest& request, bool& outOfMemory) {
    try {
        PreviewImage preview = decode(request.Path, request.Box);
        // The window takes a reply without image or message for a helper gone wrong.
        if (preview.Image.isNull() && preview.Error.isEmpty())
            preview.Error = QStringLiteral("This photo cannot be shown.");
        return preview;
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    PreviewImage failed;
    failed.Error = QStringLiteral("This photo cannot be shown: there is not enough memory for it.");
    return failed;
}

bool WriteAll(int out, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(out, bytes.constData() + written, static_cast<std::size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += n;
    }
    return true;
}

}  // namespace

int ServePreviews(int in, int out, const PreviewDecoder& decode) {
    std::vector<std::uint8_t> buffer;
    for (;;) {
        const ParseResult<PreviewRequest> parsed = ParseRequest(buffer);
        if (parsed.State == Parsed::Malformed) return kBadRequest;
        if (parsed.State == Parsed::Complete) {
            buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(parsed.Used));
            bool outOfMemory = false;
            const PreviewImage preview = Answer(decode, parsed.Value, outOfMemory);
            if (!WriteAll(out, EncodeReply(preview))) return kCannotReply;
            if (outOfMemory) return kOutOfMemory;
            continue;
        }
        std::uint8_t chunk[4096];
        const ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return kInputEnded;
        buffer.insert(buffer.end(), chunk, chunk + n);
    }
}

void RunPreviewHelper(const PreviewDecoder& decode) {
    // A helper whose window is gone (even killed) must not go on decoding.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (const std::string problem = EnterPreviewSandbox(kPreviewMemoryBudget); !problem.empty()) {
        std::fprintf(stderr, "quorvela-preview: %s\n", problem.c_str());
        std::_Exit(kCannotStart);
    }
    const int status = ServePreviews(STDIN_FILENO, STDOUT_FILENO, decode);
    // No exit handlers: a sanitizer build's leak check would stop the threads with ptrace, which
    // the filter denies, and the libraries' teardown is of no use to anyone.
    std::_Exit(status);
}

}  // namespace quorvela::viewer
