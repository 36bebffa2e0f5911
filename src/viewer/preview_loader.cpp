#include "viewer/preview_loader.h"

#include <QCoreApplication>
#include <QProcess>
#include <span>
#include <utility>

#include "viewer/preview_protocol.h"

namespace quorvela::viewer {

namespace {

// A newer request does not wait for a decode that has run this long: its helper is stopped.
constexpr std::chrono::milliseconds kSupersedeAfter{1000};
// A helper killed with SIGKILL is gone at once; this bounds waiting for the system to say so.
constexpr int kReapWaitMs = 2000;

QString DefaultProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/quorvela-preview");
}

std::span<const std::uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

PreviewLoader::PreviewLoader(QSize box, Done done, QObject* parent)
    : PreviewLoader(box, std::move(done), PreviewHelper{}, parent) {}

PreviewLoader::PreviewLoader(QSize box, Done done, PreviewHelper helper, QObject* parent)
    : QObject(parent), box_(box), done_(std::move(done)), helper_(std::move(helper)) {
    if (helper_.Program.isEmpty()) helper_.Program = DefaultProgram();
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire a twentieth early
    deadline_.setInterval(helper_.TimeLimit);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        const auto seconds = std::chrono::duration<double>(helper_.TimeLimit).count();
        Fail(QStringLiteral("decoding it took longer than %1 s").arg(seconds));
    });
}

PreviewLoader::~PreviewLoader() {
    ++generation_;
    StopHelper();
}

qint64 PreviewLoader::HelperProcessId() const {
    return process_ != nullptr ? process_->processId() : 0;
}

void PreviewLoader::Cancel() {
    ++generation_;
    pending_.reset();
}

void PreviewLoader::Request(const std::string& path) {
    pending_ = Job{path, ++generation_};
    if (current_ && busyFor_.isValid() && std::chrono::milliseconds(busyFor_.elapsed()) > kSupersedeAfter) {
        // The photo being decoded is no longer wanted, and may never end.
        StopHelper();
        current_.reset();
        deadline_.stop();
    }
    if (!current_) SendNext();
}

void PreviewLoader::SendNext() {
    current_ = std::exchange(pending_, std::nullopt);
    received_.clear();
    busyFor_.start();
    deadline_.start();
    if (process_ == nullptr) StartHelper();  // may fail at once, which answers the request
    if (process_ != nullptr && current_) process_->write(EncodeRequest({current_->Path, box_}));
}

void PreviewLoader::StartHelper() {
    process_ = new QProcess(this);
    // Library warnings and sanitizer reports go where the window's own go.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::readyReadStandardOutput, this, &PreviewLoader::OnOutput);
    connect(process_, &QProcess::finished, this, &PreviewLoader::OnHelperEnded);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            Fail(QStringLiteral("the preview helper %1 cannot be started").arg(helper_.Program));
        }
    });
    process_->start(helper_.Program, QStringList{});
}

void PreviewLoader::StopHelper() {
    if (process_ == nullptr) return;
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    process->kill();
    process->waitForFinished(kReapWaitMs);
    // Possibly inside one of its own signals: deleted once that has returned.
    process->deleteLater();
    received_.clear();
}

void PreviewLoader::OnOutput() {
    received_ += process_->readAllStandardOutput();
    if (!current_) {
        StopHelper();  // it speaks unasked
        return;
    }
    const ParseResult<PreviewImage> reply = ParseReply(Bytes(received_), box_);
    if (reply.State == Parsed::Incomplete) return;
    if (reply.State == Parsed::Malformed || reply.Used != static_cast<std::size_t>(received_.size())) {
        Fail(QStringLiteral("its decoder gave a damaged answer"));
        return;
    }
    received_.clear();
    Answer(reply.Value);
}

void PreviewLoader::OnHelperEnded() {
    // A helper that ended between requests (it ran out of memory on the last one) is simply
    // replaced by the next request.
    if (!current_) {
        StopHelper();
        return;
    }
    Fail(QStringLiteral("its decoder stopped"));
}

void PreviewLoader::Fail(const QString& reason) {
    StopHelper();
    if (!current_) return;
    PreviewImage failed;
    failed.Error = QStringLiteral("This photo cannot be shown: %1.").arg(reason);
    Answer(failed);
}

void PreviewLoader::Answer(const PreviewImage& preview) {
    deadline_.stop();
    const Job job = *std::exchange(current_, std::nullopt);
    if (job.Generation == generation_ && done_) done_(job.Path, preview);
    // `done_` may have asked for another preview meanwhile, which is then under way.
    if (pending_ && !current_) SendNext();
    if (IsIdle()) emit Idle();
}

}  // namespace quorvela::viewer
