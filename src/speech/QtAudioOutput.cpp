#include "speech/QtAudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lexaro {

TPcmBuffer::TPcmBuffer(QObject* parent) : QIODevice(parent) {}

void TPcmBuffer::Append(const std::int16_t* samples, std::size_t count, double volume) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count; ++i) {
        const auto s =
            static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(samples[i] * volume)));
        bytes_.push_back(static_cast<char>(s & 0xFF)); // little-endian, as the format says
        bytes_.push_back(static_cast<char>(s >> 8));
    }
}

void TPcmBuffer::Clear() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
}

std::int64_t TPcmBuffer::BytesPlayed() const {
    std::lock_guard lock(mutex_);
    return played_;
}

std::int64_t TPcmBuffer::BytesWaiting() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::int64_t>(bytes_.size());
}

// Always something to read: silence fills the gaps between texts.
qint64 TPcmBuffer::bytesAvailable() const {
    return 1 << 20;
}

qint64 TPcmBuffer::readData(char* data, qint64 maxSize) {
    if (maxSize <= 0)
        return 0;
    const auto want = static_cast<std::size_t>(maxSize) & ~std::size_t{1}; // whole samples
    std::lock_guard lock(mutex_);
    const std::size_t n = std::min(want, bytes_.size());
    std::copy_n(bytes_.begin(), n, data);
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
    played_ += static_cast<std::int64_t>(n);
    std::memset(data + n, 0, want - n);
    return static_cast<qint64>(want);
}

qint64 TPcmBuffer::writeData(const char* /*data*/, qint64 /*maxSize*/) {
    return -1;
}

TQtAudioOutput::TQtAudioOutput(int sampleRate)
    : sampleRate_(sampleRate), buffer_(std::make_unique<TPcmBuffer>()) {}

TQtAudioOutput::~TQtAudioOutput() {
    if (sink_)
        sink_->stop();
    sink_.reset();
    buffer_->close();
}

bool TQtAudioOutput::Start() {
    if (started_)
        return true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(sampleRate_);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;
    sink_ = std::make_unique<QAudioSink>(device, format);
    // About a tenth of a second ahead: short enough that speech starts promptly.
    sink_->setBufferSize(sampleRate_ / 5);
    buffer_->open(QIODevice::ReadOnly);
    sink_->start(buffer_.get());
    // A device that cannot be opened reports it here; no state signal follows.
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        sink_.reset();
        buffer_->close();
        return false;
    }
    started_ = true;
    return true;
}

void TQtAudioOutput::Write(const std::int16_t* samples, std::size_t count) {
    double volume = 1.0;
    {
        std::lock_guard lock(volumeMutex_);
        volume = volume_;
    }
    buffer_->Append(samples, count, volume);
}

void TQtAudioOutput::Discard() {
    buffer_->Clear();
}

void TQtAudioOutput::SetVolume(double factor) {
    std::lock_guard lock(volumeMutex_);
    volume_ = std::clamp(factor, 0.0, 1.0);
}

std::int64_t TQtAudioOutput::ProcessedMicroseconds() const {
    return sink_ ? sink_->processedUSecs() : 0;
}

} // namespace lexaro
