#include "platform/win32/Win32WebDownload.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "platform/win32/UniqueHandles.h"
#include "text/WideText.h"

namespace nimbral::win32 {

namespace {

// Short enough for a window to answer between two looks.
constexpr DWORD kPollMs = 20;
// How long a closed request may take to tell that it is gone before it is left to the library.
constexpr DWORD kCloseWaitMs = 200;

// What the internet library's own threads report of one request. They only store into it and set
// its events; the program's thread reads it after an event.
struct Request {
    UniqueHandle completed{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle closing{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HINTERNET> handle{nullptr};
    std::atomic<bool> succeeded{false};
    // Filled by the library when a read that was pending completes, so it lives here, not on a stack.
    DWORD read = 0;
    char buffer[64 * 1024] = {};
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD) {
    auto* request = reinterpret_cast<Request*>(context);
    if (!request || !information)
        return;
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    switch (status) {
        case INTERNET_STATUS_HANDLE_CREATED:
            request->handle = reinterpret_cast<HINTERNET>(result->dwResult);
            break;
        case INTERNET_STATUS_REQUEST_COMPLETE:
            request->succeeded = result->dwResult != 0;
            ::SetEvent(request->completed.get());
            break;
        case INTERNET_STATUS_HANDLE_CLOSING:
            ::SetEvent(request->closing.get());
            break;
    }
}

enum class Wait { kCompleted, kCancelled, kStalled };

class Transfer {
  public:
    Transfer(unsigned stallMs, const WebDownload::Progress& progress) : stallMs_(stallMs), progress_(progress) {}

    bool Tell(std::uint64_t received, std::uint64_t total) {
        lastData_ = ::GetTickCount();
        return !progress_ || progress_(received, total);
    }

    Wait Await(Request& request, std::uint64_t received, std::uint64_t total) const {
        for (;;) {
            if (::WaitForSingleObject(request.completed.get(), kPollMs) == WAIT_OBJECT_0)
                return Wait::kCompleted;
            if (progress_ && !progress_(received, total))
                return Wait::kCancelled;
            if (::GetTickCount() - lastData_ > stallMs_)
                return Wait::kStalled;
        }
    }

  private:
    unsigned stallMs_;
    const WebDownload::Progress& progress_;
    DWORD lastData_ = ::GetTickCount();
};

Download::Outcome OutcomeOf(Wait wait) {
    return wait == Wait::kCancelled ? Download::Outcome::kCancelled : Download::Outcome::kStalled;
}

std::uint64_t AnnouncedLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return 0;
    std::uint64_t length = 0;
    for (const wchar_t* c = text; *c >= L'0' && *c <= L'9' && length < (1ull << 56); ++c)
        length = length * 10 + static_cast<std::uint64_t>(*c - L'0');
    return length;
}

void Receive(Request& request, HINTERNET opened, std::uint64_t limit, Transfer& transfer, Download& download) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(opened, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        download.outcome = Download::Outcome::kFailed;
        return;
    }
    download.status = status;
    if (status != HTTP_STATUS_OK) {
        download.outcome = Download::Outcome::kHttpError;
        return;
    }
    const std::uint64_t total = AnnouncedLength(opened);
    if (total > limit) {
        download.outcome = Download::Outcome::kTooLarge;
        return;
    }
    std::uint64_t received = 0;
    for (;;) {
        request.read = 0;
        if (!::InternetReadFile(opened, request.buffer, sizeof request.buffer, &request.read)) {
            if (::GetLastError() != ERROR_IO_PENDING) {
                download.outcome = Download::Outcome::kCutShort;
                return;
            }
            if (const Wait wait = transfer.Await(request, received, total); wait != Wait::kCompleted) {
                download.outcome = OutcomeOf(wait);
                return;
            }
            if (!request.succeeded) {
                download.outcome = Download::Outcome::kCutShort;
                return;
            }
        }
        if (request.read == 0) {
            download.outcome =
                total != 0 && received != total ? Download::Outcome::kCutShort : Download::Outcome::kDone;
            return;
        }
        download.body.append(request.buffer, request.read);
        received += request.read;
        if (received > limit) {
            download.outcome = Download::Outcome::kTooLarge;
            return;
        }
        if (!transfer.Tell(received, total)) {
            download.outcome = Download::Outcome::kCancelled;
            return;
        }
    }
}

}  // namespace

Download Win32WebDownload::Fetch(const std::string& url, std::uint64_t limit, const Progress& progress) {
    Download download;
    UniqueHinternet session(::InternetOpenW(L"Nimbral Windows Cleaner",
                                            direct_ ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                            nullptr, INTERNET_FLAG_ASYNC));
    if (!session)
        return download;
    ::InternetSetStatusCallbackW(session.get(), OnStatus);
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT}) {
        DWORD timeout = stallMs_;
        ::InternetSetOptionW(session.get(), option, &timeout, sizeof timeout);
    }

    // The library's threads may still report on the request after a cancel, so it is let go only
    // once the library says the request's handle is closed.
    auto* request = new Request;
    Transfer transfer(stallMs_, progress);
    const std::u16string wide = Utf16FromProgramText(url);
    constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    HINTERNET opened = ::InternetOpenUrlW(session.get(), reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr, 0,
                                          kFlags, reinterpret_cast<DWORD_PTR>(request));
    bool pending = false;
    if (!opened && ::GetLastError() == ERROR_IO_PENDING) {
        pending = true;
        const Wait wait = transfer.Await(*request, 0, 0);
        if (wait != Wait::kCompleted)
            download.outcome = OutcomeOf(wait);
        else if (request->succeeded)
            opened = request->handle;
    }
    if (opened)
        Receive(*request, opened, limit, transfer, download);

    // A request that failed or was given up may have a handle all the same, which is closed too; one
    // whose handle has not even been made yet is left to the library with what it writes to.
    const HINTERNET made = opened ? opened : request->handle.load();
    if (made) {
        ::InternetCloseHandle(made);
        if (::WaitForSingleObject(request->closing.get(), kCloseWaitMs) == WAIT_OBJECT_0)
            delete request;
    } else if (!pending) {
        delete request;
    }
    if (download.outcome != Download::Outcome::kDone)
        download.body.clear();
    return download;
}

bool Win32FileReplacer::Replace(const std::string& path, const std::string& content) {
    const std::string part = path + ".part";
    const std::u16string beside = Utf16FromProgramText(part);
    const auto* besideName = reinterpret_cast<const wchar_t*>(beside.c_str());
    // A new file only. A piece left by an earlier run that was stopped goes first; anything else there
    // (a link placed to have some other file overwritten) makes the update fail rather than be written
    // through.
    fileSystem_.RemoveFile(part);
    bool written = false;
    {
        UniqueHfile file(
            ::CreateFileW(besideName, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD done = 0;
        written = ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &done, nullptr) &&
                  done == content.size() && ::FlushFileBuffers(file.get());
    }
    const std::u16string target = Utf16FromProgramText(path);
    if (written && ::MoveFileExW(besideName, reinterpret_cast<const wchar_t*>(target.c_str()),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    fileSystem_.RemoveFile(part);
    return false;
}

}  // namespace nimbral::win32
