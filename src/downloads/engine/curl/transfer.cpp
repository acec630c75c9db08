#include "downloads/engine/curl/transfer.h"

#include "downloads/engine/curl/part_file.h"
#include "downloads/engine/curl/response_rules.h"

namespace plendrik::downloads::curl {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The transfer whose task thread this is: a stop asked for from inside an event handler must not
// wait for the very thread it runs on.
thread_local const Transfer* tl_current = nullptr;

// Longest sleep of the poll when libcurl wants nothing sooner; a stop wakes it anyway.
constexpr int kPollMs = 250;

// Errors after which the same request may well succeed: the connection failed, dropped or stalled.
bool retryable(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_HTTP3:
    case CURLE_SSL_CONNECT_ERROR:
        return true;
    default:
        return false;
    }
}

// The record with the transfer's own address and path: a resumed transfer goes where its state
// says, whatever the program's record names by now.
TaskRecord forTransfer(TaskRecord record, const ResumeState& start) {
    record.address = start.address;
    record.savePath = start.savePath;
    return record;
}

} // namespace

// What one request sees: the callbacks' view of the partial file and of the answer.
struct Attempt {
    Attempt(Transfer& owner, PartFile& part, Expectation expectation, bool judgeHead)
        : transfer(owner), file(part), expected(std::move(expectation)), checksHead(judgeHead) {}

    Transfer& transfer;
    PartFile& file;
    const Expectation expected;
    const bool checksHead; // HTTP answers are judged by their head; FTP has none to judge
    HeadReader reader;
    bool decided = false;
    Verdict verdict = Verdict::Accept;
    std::optional<int> retryAfterSeconds;
    std::int64_t written = 0;
    bool writeFailed = false;
    bool finished = false; // libcurl ended the request (else it was stopped or stalled)
    bool stalled = false;
    CURLcode code = CURLE_OK;

    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto& attempt = *static_cast<Attempt*>(self);
        const std::size_t length = size * count;
        if (!attempt.checksHead || attempt.decided)
            return length;
        if (!attempt.reader.line({data, length}, true))
            return length;
        const ResponseHead& head = attempt.reader.head();
        attempt.decided = true;
        attempt.verdict = decide(head, attempt.expected);
        attempt.retryAfterSeconds = head.retryAfterSeconds;
        if (attempt.verdict != Verdict::Accept)
            return 0; // ends the request before a byte of this answer reaches the file
        attempt.transfer.accepted(head, attempt.expected.offset);
        return length;
    }

    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto& attempt = *static_cast<Attempt*>(self);
        const std::size_t length = size * count;
        if (attempt.transfer.stopRequested())
            return 0;
        // body bytes count only from an answer whose head said they continue the partial file
        if (attempt.checksHead && (!attempt.decided || attempt.verdict != Verdict::Accept))
            return 0;
        if (!attempt.file.append(data, length)) {
            attempt.writeFailed = true;
            return 0;
        }
        attempt.written += static_cast<std::int64_t>(length);
        attempt.transfer.m_done.store(attempt.file.size());
        return length;
    }
};

Transfer::Transfer(const TaskRecord& record, ResumeState start, bool fresh, int id,
                   std::vector<std::shared_ptr<Transfer>> earlier)
    : m_record(forTransfer(record, start)), m_options(curlOptionsFor(m_record)), m_fresh(fresh), m_id(id),
      m_earlier(std::move(earlier)), m_multi(curl_multi_init()), m_state(std::move(start)) {
    if (m_fresh) {
        m_state.offset = 0;
        m_state.total = -1;
        m_state.etag.clear();
        m_state.lastModified.clear();
    }
    // a resumed transfer counts from the bytes it already holds
    m_done.store(m_state.offset);
}

Transfer::~Transfer() {
    if (m_thread.joinable())
        m_thread.detach();
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void Transfer::start() {
    m_thread = std::thread([self = shared_from_this()] { self->run(); });
}

bool Transfer::claimStop() {
    Phase expected = Phase::Running;
    return m_phase.compare_exchange_strong(expected, Phase::Stopped);
}

void Transfer::interrupt() {
    m_stop.store(true);
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

bool Transfer::onTaskThread() const {
    return tl_current == this;
}

ResumeState Transfer::resumeState() const {
    std::lock_guard lock(m_stateMutex);
    ResumeState state = m_state;
    state.offset = m_done.load();
    if (state.total >= 0 && state.offset > state.total)
        state.total = -1;
    return state;
}

bool Transfer::waitSettled(milliseconds limit) {
    std::unique_lock lock(m_lifeMutex);
    return m_lifeChanged.wait_for(lock, limit, [this] { return m_settled; });
}

bool Transfer::waitEnded(milliseconds limit) {
    std::unique_lock lock(m_lifeMutex);
    return m_lifeChanged.wait_for(lock, limit, [this] { return m_ended; });
}

void Transfer::release() {
    if (!m_thread.joinable() || onTaskThread())
        return;
    if (waitEnded(milliseconds(0)))
        m_thread.join();
    else
        m_thread.detach();
}

void Transfer::markSettled() {
    std::lock_guard lock(m_lifeMutex);
    m_settled = true;
    m_lifeChanged.notify_all();
}

void Transfer::markEnded() {
    std::lock_guard lock(m_lifeMutex);
    m_ended = true;
    m_lifeChanged.notify_all();
}

int Transfer::raise(EngineEvent code, std::int64_t value) {
    if (m_silenced.load() || !m_record.eventHandler)
        return 0;
    return m_record.eventHandler(static_cast<int>(code), m_id, value, 0, m_id);
}

void Transfer::run() {
    tl_current = this;
    waitForEarlier();
    const Outcome outcome = stopRequested() ? Outcome::Stopped : transfer();
    markSettled();
    if (outcome == Outcome::Failed)
        raise(EngineEvent::Failed, m_done.load());
    // no longer active before the last event, so the handler already sees the engine idle
    Phase running = Phase::Running;
    m_phase.compare_exchange_strong(running, Phase::Over);
    raise(EngineEvent::Finished, outcome == Outcome::Complete ? knownTotal() : m_done.load());
    tl_current = nullptr;
    markEnded();
}

void Transfer::waitForEarlier() {
    // a stopped transfer may still be closing the same partial file
    for (const auto& earlier : m_earlier)
        while (!stopRequested() && !earlier->waitSettled(milliseconds(20))) {
        }
    m_earlier.clear();
}

Transfer::Outcome Transfer::transfer() {
    const std::string savePath = m_state.savePath; // fixed for the transfer's life
    // the old file stays until the new one is whole; the handler's reply changes nothing
    if (fileExists(savePath))
        raise(EngineEvent::FileExists, 0);
    PartFile file;
    if (!m_multi || !file.open(savePath + ".part", m_fresh)) {
        m_done.store(0);
        return Outcome::Failed;
    }
    const Outcome outcome = fetchInto(file);
    file.closeDiscardingEmpty();
    return outcome;
}

Transfer::Outcome Transfer::fetchInto(PartFile& file) {
    const std::int64_t total = knownTotal();
    if (file.size() > 0 && total >= 0 && file.size() > total && !restart(file))
        return Outcome::Failed;
    m_done.store(file.size());

    int retries = 0;
    int restarts = 0;
    while (!stopRequested()) {
        Attempt attempt(*this, file, expectationFor(file.size()), !m_options.ftp);
        runAttempt(attempt);
        if (stopRequested())
            break;
        if (attempt.writeFailed)
            return Outcome::Failed;
        // a connection that brought bytes earns fresh retries, unless it ended as a stall: a
        // trickle would otherwise be retried for ever
        const bool stalled =
            attempt.stalled || (attempt.finished && attempt.code == CURLE_OPERATION_TIMEDOUT);
        if (attempt.written > 0 && !stalled)
            retries = 0;
        std::optional<int> retryAfter;
        if (attempt.decided && attempt.verdict != Verdict::Accept) {
            switch (attempt.verdict) {
            case Verdict::Fail:
                return Outcome::Failed;
            case Verdict::AlreadyComplete:
                return complete(file);
            case Verdict::Restart:
                if (++restarts > kMaxRestarts || !restart(file))
                    return Outcome::Failed;
                continue;
            default:
                retryAfter = attempt.retryAfterSeconds;
                break;
            }
        } else if (attempt.finished && attempt.code == CURLE_OK) {
            const std::int64_t expected = knownTotal();
            if (expected < 0 || file.size() == expected)
                return complete(file);
            // the answer ended short without the transport noticing: continue from what arrived
            if (file.size() > expected && (++restarts > kMaxRestarts || !restart(file)))
                return Outcome::Failed;
        } else if (attempt.finished && attempt.code == CURLE_RANGE_ERROR) {
            // libcurl's own refusal of an answer that does not continue at the offset
            if (++restarts > kMaxRestarts || !restart(file))
                return Outcome::Failed;
            continue;
        } else if (attempt.finished && !retryable(attempt.code)) {
            return Outcome::Failed;
        }
        if (retries >= kMaxRetries)
            return Outcome::Failed;
        if (!pause(retryDelay(retries++, retryAfter)))
            break;
    }
    return Outcome::Stopped;
}

Transfer::Outcome Transfer::complete(PartFile& file) {
    std::int64_t total = knownTotal();
    if (total >= 0 && file.size() != total)
        return Outcome::Failed;
    if (total < 0) {
        // a length never announced is known now; the program compares the finish with it
        learnTotal(file.size());
        total = file.size();
    }
    raiseSizeIfNew();
    // a stop that came first keeps the partial file: the resume finds it whole
    if (stopRequested())
        return Outcome::Stopped;
    if (!file.commit(m_state.savePath))
        return Outcome::Failed;
    m_done.store(total);
    return Outcome::Complete;
}

bool Transfer::restart(PartFile& file) {
    if (!file.empty())
        return false;
    m_done.store(0);
    std::lock_guard lock(m_stateMutex);
    m_state.total = -1;
    m_state.etag.clear();
    m_state.lastModified.clear();
    return true;
}

Expectation Transfer::expectationFor(std::int64_t offset) const {
    std::lock_guard lock(m_stateMutex);
    if (offset == 0)
        return {};
    return {offset, m_state.total, m_state.etag, m_state.lastModified};
}

void Transfer::accepted(const ResponseHead& head, std::int64_t offset) {
    std::int64_t total = -1;
    if (head.status == 206 && head.contentRange)
        total = head.contentRange->total;
    else if (head.contentLength)
        total = offset + *head.contentLength;
    {
        std::lock_guard lock(m_stateMutex);
        m_state.total = total;
        if (!head.etag.empty() || !head.lastModified.empty()) {
            m_state.etag = head.etag;
            m_state.lastModified = head.lastModified;
        }
    }
}

void Transfer::learnTotal(std::int64_t total) {
    std::lock_guard lock(m_stateMutex);
    m_state.total = total;
}

std::int64_t Transfer::knownTotal() const {
    std::lock_guard lock(m_stateMutex);
    return m_state.total;
}

void Transfer::raiseSizeIfNew() {
    const std::int64_t total = knownTotal();
    if (total < 0 || total == m_sizeRaised)
        return;
    m_sizeRaised = total;
    raise(EngineEvent::SizeKnown, total);
}

void Transfer::runAttempt(Attempt& attempt) {
    CURL* easy = curl_easy_init();
    if (!easy) {
        attempt.finished = true;
        attempt.code = CURLE_OUT_OF_MEMORY;
        return;
    }
    applyCurlOptions(easy, m_options);
    curl_slist* headers = nullptr;
    if (attempt.expected.offset > 0) {
        // never CURLOPT_RANGE: libcurl checks the answer against RESUME_FROM, not against RANGE
        curl_easy_setopt(easy, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(attempt.expected.offset));
        if (const auto value = ifRangeValue(attempt.expected.etag, attempt.expected.lastModified);
            value && !m_options.ftp)
            headers = curl_slist_append(headers, ("If-Range: " + *value).c_str());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Attempt::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &attempt);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Attempt::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &attempt);

    curl_multi_add_handle(m_multi, easy);
    driveUntilDone(attempt, easy);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &queued))
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            attempt.finished = true;
            attempt.code = message->data.result;
        }
    curl_multi_remove_handle(m_multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    if (m_options.ftp && attempt.finished && attempt.code == CURLE_OK && knownTotal() < 0)
        learnTotal(attempt.file.size());
}

void Transfer::driveUntilDone(Attempt& attempt, CURL* easy) {
    const auto started = Clock::now();
    while (!stopRequested()) {
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            attempt.finished = true;
            attempt.code = CURLE_FAILED_INIT;
            return;
        }
        if (m_options.ftp && knownTotal() < 0) {
            curl_off_t length = -1;
            if (curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
                length >= 0)
                learnTotal(attempt.expected.offset + length);
        }
        // events go out between libcurl's calls, never from inside its callbacks
        raiseSizeIfNew();
        if (running == 0)
            return;
        if (sendStalled(easy, started)) {
            attempt.stalled = true;
            return;
        }
        curl_multi_poll(m_multi, nullptr, 0, kPollMs, nullptr);
    }
}

// libcurl has no send time-out: a request still not out this long after the connection stands
// counts as a stalled connection.
bool Transfer::sendStalled(CURL* easy, Clock::time_point started) const {
    if (m_options.sendStallMs <= 0)
        return false;
    curl_off_t connectedAfterUs = 0;
    long requestBytes = 0;
    curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectedAfterUs);
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestBytes);
    if (connectedAfterUs <= 0 || requestBytes > 0)
        return false;
    const auto limit = std::chrono::microseconds(connectedAfterUs) + milliseconds(m_options.sendStallMs);
    return Clock::now() - started > limit;
}

bool Transfer::pause(milliseconds delay) {
    // waits on the multi handle's wake-up, so a stop cuts the back-off short
    const auto until = Clock::now() + delay;
    while (!stopRequested()) {
        const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now());
        if (left.count() <= 0)
            return true;
        curl_multi_poll(m_multi, nullptr, 0, static_cast<int>(left.count()), nullptr);
    }
    return false;
}

} // namespace plendrik::downloads::curl
