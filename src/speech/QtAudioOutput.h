#pragma once

#include "speech/AudioOutput.h"

#include <QIODevice>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class QAudioSink;

namespace lexaro {

// The samples waiting to be played. The synthesiser's thread appends, the audio sink reads
// on the user-interface thread; while nothing waits it reads silence, so the sink never
// runs dry and picks up the next text at once.
class TPcmBuffer : public QIODevice {
    Q_OBJECT
public:
    explicit TPcmBuffer(QObject* parent = nullptr);

    void Append(const std::int16_t* samples, std::size_t count, double volume);
    void Clear();
    // Bytes of speech (not of silence) the sink has taken so far, and still waiting.
    std::int64_t BytesPlayed() const;
    std::int64_t BytesWaiting() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    mutable std::mutex mutex_;
    std::deque<char> bytes_;
    std::int64_t played_ = 0;
};

// Lexaro's own audio output on Qt Multimedia: 16-bit mono through the default device.
// Create, start and destroy it on the user-interface thread (it needs a running event loop
// to play).
class TQtAudioOutput : public TAudioOutput {
public:
    explicit TQtAudioOutput(int sampleRate);
    ~TQtAudioOutput() override;

    // Opens the default output device; false ("No audio output") when there is none or it
    // cannot be opened.
    bool Start();
    bool IsStarted() const { return started_; }

    int SampleRate() const override { return sampleRate_; }
    void Write(const std::int16_t* samples, std::size_t count) override;
    void EndOfText() override {}
    void Discard() override;
    void SetVolume(double factor) override;

    const TPcmBuffer& Buffer() const { return *buffer_; }
    std::int64_t ProcessedMicroseconds() const;

private:
    const int sampleRate_;
    std::unique_ptr<TPcmBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
    bool started_ = false;
    std::mutex volumeMutex_;
    double volume_ = 1.0;
};

} // namespace lexaro
