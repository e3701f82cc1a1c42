#include "platform/net/HttpClient.h"

#include <curl/curl.h>

#include <cctype>
#include <cstring>
#include <exception>
#include <mutex>

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsUrlUnsafe(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) return true;
    return std::strchr("\"<>\\^`{|}", c) != nullptr;
}

struct SList {
    curl_slist* list = nullptr;
    ~SList() { curl_slist_free_all(list); }
    void Add(const std::string& line) {
        curl_slist* next = curl_slist_append(list, line.c_str());
        if (!next) throw EHttpError("Out of memory for the request headers");
        list = next;
    }
};

const char* NullIfEmpty(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string EncodeUrl(const std::string& url) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (unsigned char c : url) {
        if (IsUrlUnsafe(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The state of one request, shared with the libcurl callbacks.
struct THttpClient::Transfer {
    THttpClient* client = nullptr;
    std::string* text = nullptr;      // GET into a string
    std::ostream* stream = nullptr;   // GET into a stream
    int64_t limit = 0;                // bytes the body may have; 0 = no limit
    int64_t received = 0;
    bool begun = false;
    // The header block of the last response names the chunked transfer coding.
    bool chunked = false;
    std::exception_ptr error;         // thrown inside a callback; rethrown after the transfer
    std::string failure;              // a failure found inside a callback without an exception
};

THttpClient::THttpClient() { GlobalInit(); }

THttpClient::~THttpClient() {
    if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
}

size_t THttpClient::HeaderCallback(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    THttpClient& c = *t.client;
    if (c.MaxLineAction == maException && c.MaxLineLength > 0 && n > static_cast<size_t>(c.MaxLineLength)) {
        t.failure = "Response header line longer than " + std::to_string(c.MaxLineLength) + " bytes";
        return 0;
    }
    const std::string line(data, n);
    if (line.compare(0, 5, "HTTP/") == 0) {
        // A status line starts the header block of a new response (after a 1xx, for one).
        t.chunked = false;
        return n;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return n;
    const std::string name = Lower(line.substr(0, colon));
    if (name == "transfer-encoding" && Lower(line.substr(colon + 1)).find("chunked") != std::string::npos)
        t.chunked = true;
    return n;
}

size_t THttpClient::WriteCallback(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    THttpClient& c = *t.client;
    long code = 0;
    curl_easy_getinfo(static_cast<CURL*>(c.curl_), CURLINFO_RESPONSE_CODE, &code);
    if (code < 200 || code > 299) return n;  // the body of an error response is not delivered
    try {
        if (!t.begun) {
            t.begun = true;
            curl_off_t length = -1;
            curl_easy_getinfo(static_cast<CURL*>(c.curl_), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            if (c.OnWorkBegin) c.OnWorkBegin(c, wmRead, length > 0 ? static_cast<int64_t>(length) : 0);
        }
        if (t.limit > 0 && t.received + static_cast<int64_t>(n) > t.limit) {
            t.failure = "Response larger than " + std::to_string(t.limit) + " bytes";
            return 0;
        }
        if (t.text) {
            t.text->append(data, n);
        } else if (t.stream) {
            bool written = false;
            try {
                written = static_cast<bool>(t.stream->write(data, static_cast<std::streamsize>(n)));
            } catch (const std::ios_base::failure&) {
            }
            if (!written) {
                t.failure = "Cannot write the received data";
                return 0;
            }
        }
        t.received += static_cast<int64_t>(n);
        if (c.OnWork) c.OnWork(c, wmRead, t.received);
    } catch (...) {
        t.error = std::current_exception();
        return 0;
    }
    return n;
}

void THttpClient::Perform(const std::string& url, Transfer& t) {
    if (busy_) throw EHttpError("A request is already running");
    struct BusyScope {
        bool& flag;
        explicit BusyScope(bool& f) : flag(f) { flag = true; }
        ~BusyScope() { flag = false; }
    } busy(busy_);
    t.client = this;
    responseCode_ = 0;
    if (!curl_) {
        curl_ = curl_easy_init();
        if (!curl_) throw EHttpError("Cannot create an HTTP session");
        char* path = nullptr;
        if (curl_easy_getinfo(static_cast<CURL*>(curl_), CURLINFO_CAINFO, &path) == CURLE_OK && path)
            systemCAFile_ = path;
        path = nullptr;
        if (curl_easy_getinfo(static_cast<CURL*>(curl_), CURLINFO_CAPATH, &path) == CURLE_OK && path)
            systemCAPath_ = path;
    }
    CURL* h = static_cast<CURL*>(curl_);
    const std::string target = (HTTPOptions & hoForceEncodeParams) ? EncodeUrl(url) : url;

    SList headers;
    if (!Request.ContentType.empty()) headers.Add("Content-Type: " + Request.ContentType);
    headers.Add(Request.Accept.empty() ? "Accept:" : "Accept: " + Request.Accept);

    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_URL, target.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(h, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    // Set on every request, since the handle is kept: a null path switches that source off.
    const bool system = TrustedCAFile.empty();
    curl_easy_setopt(h, CURLOPT_CAINFO, system ? NullIfEmpty(systemCAFile_) : TrustedCAFile.c_str());
    curl_easy_setopt(h, CURLOPT_CAPATH, system ? NullIfEmpty(systemCAPath_) : nullptr);
    curl_easy_setopt(h, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(h, CURLOPT_USERAGENT, Request.UserAgent.empty() ? nullptr : Request.UserAgent.c_str());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeout > 0 ? ConnectTimeout : 0));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(TotalTimeout > 0 ? TotalTimeout : 0));
    // An announced length above the limit fails before the body; WriteCallback bounds the rest.
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(t.limit > 0 ? t.limit : 0));
    if (ReadTimeout > 0) {
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(ReadMinSpeed > 1 ? ReadMinSpeed : 1));
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>((ReadTimeout + 999) / 1000));
    } else {
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 0L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 0L);
    }
    if (AllowCookies) {
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");  // the in-memory cookie store
        cookiesEnabled_ = true;
    } else if (cookiesEnabled_) {
        curl_easy_setopt(h, CURLOPT_COOKIELIST, "ALL");
    }
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &THttpClient::HeaderCallback);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &THttpClient::WriteCallback);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);

    const CURLcode rc = curl_easy_perform(h);
    // The handle outlives this call; it must not keep pointers into this frame.
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);

    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    responseCode_ = static_cast<int>(code);

    // A body shorter than its announced length or its chunks fails inside libcurl already
    // (CURLE_PARTIAL_FILE); one framed by nothing cannot be told from a complete one.
    if (RequireBodyEnd && rc == CURLE_OK && !t.error && t.failure.empty() && code >= 200 && code <= 299) {
        long version = 0;
        curl_easy_getinfo(h, CURLINFO_HTTP_VERSION, &version);
        // Only a length that libcurl could read bounds the body: it ignores one it cannot (too
        // many digits, for one) and reads such a body to the close. It also ignores the length of
        // a 1xx response, which has no body.
        curl_off_t length = -1;
        const bool lengthAnnounced =
            curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0;
        // HTTP/2 and later frame every body; 204 has none.
        if (!lengthAnnounced && !t.chunked && version < CURL_HTTP_VERSION_2_0 && code != 204)
            t.failure = "Response body ended by the connection's close: it may have been cut short";
    }

    const bool ok = rc == CURLE_OK && !t.error && t.failure.empty() && code >= 200 && code <= 299;
    if (ok && !t.begun) {
        // An empty body still shows its (empty) progress, so the display is shown and hidden.
        t.begun = true;
        try {
            if (OnWorkBegin) OnWorkBegin(*this, wmRead, 0);
        } catch (...) {
            t.error = std::current_exception();
        }
    }
    if (t.begun && OnWorkEnd) {
        try {
            OnWorkEnd(*this, wmRead);
        } catch (...) {
            if (!t.error) t.error = std::current_exception();
        }
    }

    if (t.error) std::rethrow_exception(t.error);
    if (!t.failure.empty()) throw EHttpError(t.failure, responseCode_);
    if (rc != CURLE_OK) {
        std::string message = errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc);
        throw EHttpError(message, responseCode_);
    }
    if (code < 200 || code > 299) throw EHttpError("HTTP status " + std::to_string(code), responseCode_);
}

std::string THttpClient::Get(const std::string& url) {
    std::string body;
    Transfer t;
    t.text = &body;
    t.limit = MaxStringSize;
    Perform(url, t);
    return body;
}

void THttpClient::Get(const std::string& url, std::ostream& out) {
    Transfer t;
    t.stream = &out;
    t.limit = MaxStreamSize;
    Perform(url, t);
    bool flushed = false;
    try {
        flushed = static_cast<bool>(out.flush());
    } catch (const std::ios_base::failure&) {
    }
    if (!flushed) throw EHttpError("Cannot write the received data", responseCode_);
}
