#pragma once
// Turns Groove Box patterns into sound away from the window: writes the pattern file, runs
// GBUtil on it for the MIDI file, and renders the MIDI file into the preview WAV; or renders
// the last MIDI file into a saved WAV. One job at a time on one worker, in order; a pattern
// asked for while an older one still waits replaces it, so only the newest is produced.
//
// Main thread: every call and every signal. The worker touches only the files named in
// Places and the GBUtil child process.

#include "core/groovebox/gbpattern.h"

#include <QObject>
#include <QString>

#include <memory>

class GrooveProducer : public QObject {
    Q_OBJECT

public:
    struct Places {
        QString patternFile; // the pattern GBUtil reads
        QString midiFile; // the MIDI file GBUtil writes
        QString previewWav; // the rendered preview
        QString soundFont;
        QString gbUtil; // the GBUtil program
    };

    explicit GrooveProducer(Places places, QObject* parent = nullptr);
    // Drops waiting jobs and waits for the running one.
    ~GrooveProducer() override;

    [[nodiscard]] const Places& places() const { return m_places; }

    // Asks for `pattern` to be written and turned into the preview WAV; its number.
    int produce(const GBPattern& pattern);
    // Asks for the MIDI file, as the jobs before this one leave it, to be rendered into
    // `wavPath`; its number.
    int renderTo(const QString& wavPath);
    // Deletes the pattern, MIDI and preview files once the jobs before it are done.
    void cleanTmpFile();
    // A job is running or waiting.
    [[nodiscard]] bool busy() const;

Q_SIGNALS:
    // A produce job ended: the preview WAV is the pattern's sound when `ok`.
    void produced(int number, bool ok, const QString& error);
    // A render job ended.
    void rendered(int number, bool ok, const QString& error, const QString& wavPath);

private:
    struct Worker;
    Places m_places;
    std::unique_ptr<Worker> d;
};
