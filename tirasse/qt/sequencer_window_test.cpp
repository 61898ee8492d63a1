// The sequencer window's refusals and the copy-registration dialog's boxes, headless.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "tirasse/midi/midi_file.h"
#include "tirasse/qt/copy_registration_dialog.h"
#include "tirasse/qt/sequencer_window.h"

using namespace tirasse;

class SequencerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWhatItCannotPlay() {
    QTemporaryDir dir;
    QStringList messages;
    SequencerWindow window(0, 0, dir.path(), [&](const QString& m) { messages << m; });
    QCOMPARE(window.windowTitle(), QString("Sequencer"));
    QCOMPARE(window.stateText(), QString("Idle"));

    const QString garbage = dir.filePath("garbage.mid");
    QFile file(garbage);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF not a midi file");
    file.close();
    QVERIFY(!window.openFile(garbage));
    QCOMPARE(messages.takeFirst(), "File " + garbage + " does not appear to be a valid MIDI file");

    MidiFile type1;
    type1.format = 1;
    type1.tracks = {MidiTrack{{{0, {0xFF, kMetaEndOfTrack}}}}};
    Bytes data = serializeMidiFileType0(type1);
    data[9] = 1;  // the writer writes format 0; mark it as a one-track format 1 file
    const QString typeOne = dir.filePath("one.mid");
    QFile one(typeOne);
    QVERIFY(one.open(QIODevice::WriteOnly));
    one.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
    one.close();
    QVERIFY(!window.openFile(typeOne));
    QCOMPARE(messages.takeFirst(),
             QString("Sorry, only type 0 MIDI files are allowed. This file is type 1"));

    MidiFile smpte;
    smpte.division = 0xE728;  // 25 frames, 40 ticks a frame
    smpte.tracks = type1.tracks;
    const QString smpteFile = dir.filePath("smpte.mid");
    writeMidiFileType0(smpteFile.toStdString(), smpte);
    QVERIFY(window.openFile(smpteFile));
    QCOMPARE(messages.takeFirst(), QString("Warning: SMPTE time code is an untested feature"));
    QCOMPARE(window.stateText(), QString("Ready"));

    window.findChild<QPushButton*>("Save")->click();
    QCOMPARE(messages.takeFirst(), QString("So sorry, but you can only save what's recorded"));
    window.findChild<QPushButton*>("Close")->click();
    QCOMPARE(window.stateText(), QString("Idle"));
  }

  void copyDialogLimitsItsBoxes() {
    CopyRegistrationDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Copy Registration"));
    QCOMPARE(dialog.sourceBox()->text(), QString("0"));
    QCOMPARE(dialog.fromBox()->text(), QString("1"));
    QCOMPARE(dialog.throughBox()->text(), QString("127"));
    dialog.sourceBox()->setText("300");
    emit dialog.sourceBox()->editingFinished();
    QCOMPARE(dialog.sourceBox()->text(), QString("127"));
    dialog.throughBox()->setText("5");
    dialog.fromBox()->setText("10");
    emit dialog.fromBox()->editingFinished();
    QCOMPARE(dialog.throughBox()->text(), QString("10"));
    QCOMPARE(dialog.targets().count(), 1);
  }
};

QTEST_MAIN(SequencerWindowTest)
#include "sequencer_window_test.moc"
