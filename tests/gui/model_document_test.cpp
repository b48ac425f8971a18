// The model document's bytes: what a file holds comes back byte for byte,
// what code page 932 cannot hold is refused, and a save replaces the file
// whole or not at all.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "gui/model_document.h"
#include "gui/model_editor.h"
#include "gui_test_support.h"

using namespace tavo::gui;
using namespace tavo::gui::test;
using namespace std::string_literals;

class ModelDocumentTest : public QObject {
  Q_OBJECT

 private:
  GuiTestEnvironment env_;

  // Load into an editor, take the editor's text and save it elsewhere.
  std::string ThroughTheEditor(const std::string& bytes) {
    const QString in = env_.TempPath("in.tvd"), out = env_.TempPath("out.tvd");
    WriteBytes(in, bytes);
    CTAVODoc doc;
    std::string utf8;
    bool fromUtf8 = true;
    FileError error;
    if (!doc.Load(in.toStdString(), utf8, fromUtf8, error) || fromUtf8) return "<load failed>";
    CTAVOView view;
    view.SetTextUtf8(utf8);
    if (!doc.Save(out.toStdString(), view.TextUtf8(), error)) return "<save failed>";
    return ReadBytes(out);
  }

 private slots:
  void filesComeBackByteForByte() {
    const std::string cases[] = {
        Sjis("TITLE 計画\r\nMAX X\r\nST\r\nX <= 4"),          // no final line end
        Sjis("MAX X\nST\r\nX <= 4\rEND\r\n\r\n"),             // mixed line ends
        Sjis("! ｶﾅ 半角カナ と 全角　空白\r\nMAX X\r\n"),     // half-width kana
        "MAX X\r\n! \x87\x90\xFA\x5C\xED\x40 \x00 nul\r\n"s,  // NEC and IBM codes, a NUL byte
        std::string(),
    };
    for (const std::string& c : cases)
      QCOMPARE(QByteArray::fromStdString(ThroughTheEditor(c)).toHex(' '), QByteArray::fromStdString(c).toHex(' '));
  }

  void duplicateCodesSurviveAnEditElsewhere() {
    // 0xED40 (NEC-selected IBM) and 0xFA5C (IBM) are one character: a
    // plain conversion would write only one of the codes back.
    const std::string original = std::string("! \xED\x40\r\n! \xFA\x5C\r\nMAX X\r\n");
    const QString path = env_.TempPath("dup.tvd");
    WriteBytes(path, original);
    CTAVODoc doc;
    std::string utf8;
    bool fromUtf8 = false;
    FileError error;
    QVERIFY(doc.Load(path.toStdString(), utf8, fromUtf8, error));
    QVERIFY(doc.Save(path.toStdString(), utf8 + "ST\r\n", error));
    QCOMPARE(QByteArray::fromStdString(ReadBytes(path)).toHex(' '),
             QByteArray::fromStdString(original + "ST\r\n").toHex(' '));
  }

  void unencodableCharacterIsRefusedAndTheFileStays() {
    const QString path = env_.TempPath("stay.tvd");
    WriteBytes(path, "MAX X\r\n");
    CTAVODoc doc;
    FileError error;
    std::size_t bad = 0;
    QVERIFY(!doc.Save(path.toStdString(), "MAX X\r\n! \xF0\x9F\x98\x80\r\n", error, &bad));
    QCOMPARE(bad, std::size_t{9});
    QVERIFY(error.message.find("2 行目の 3 文字目") != std::string::npos);
    QCOMPARE(ReadBytes(path), std::string("MAX X\r\n"));
  }

  void saveReplacesTheFileWholeKeepingItsModeAndLink() {
    const QString target = env_.TempPath("target.tvd"), link = env_.TempPath("link.tvd");
    WriteBytes(target, "old");
    ::chmod(target.toLocal8Bit().constData(), 0640);
    QVERIFY(QFile::link(target, link));
    FileError error;
    QVERIFY(WriteFileAtomically(link.toStdString(), "new bytes", error));
    QCOMPARE(ReadBytes(target), std::string("new bytes"));
    QVERIFY(QFileInfo(link).isSymLink());
    struct stat st {};
    ::stat(target.toLocal8Bit().constData(), &st);
    QCOMPARE(st.st_mode & 0777, 0640u);
    QCOMPARE(QDir(env_.TempPath("")).entryList({".*tavo-*"}, QDir::Files | QDir::Hidden), QStringList());

    // A folder that cannot be written: refused, the file as it was.
    QDir().mkpath(env_.TempPath("locked"));
    const QString locked = env_.TempPath("locked/m.tvd");
    WriteBytes(locked, "kept");
    ::chmod(env_.TempPath("locked").toLocal8Bit().constData(), 0555);
    if (::geteuid() != 0) {  // root writes anyway
      QVERIFY(!WriteFileAtomically(locked.toStdString(), "lost", error));
      QCOMPARE(ReadBytes(locked), std::string("kept"));
    }
    QVERIFY(!WriteFileAtomically(env_.TempPath("no/such/dir/m.tvd").toStdString(), "x", error));
    QVERIFY(!error.message.empty());
    ::chmod(env_.TempPath("locked").toLocal8Bit().constData(), 0755);
  }

  void otherEncodingsOnOpening() {
    const QString path = env_.TempPath("enc.tvd");
    CTAVODoc doc;
    std::string utf8;
    bool fromUtf8 = false;
    FileError error;
    // UTF-8 from another editor: read as it is, flagged for the caller.
    // (A code page 932 reading comes first: "計" alone leaves a lead byte
    // before the line feed.)
    WriteBytes(path, "TITLE 計\nMAX X\n");
    QVERIFY(doc.Load(path.toStdString(), utf8, fromUtf8, error));
    QVERIFY(fromUtf8);
    QCOMPARE(utf8, std::string("TITLE 計\nMAX X\n"));
    // Neither: refused with the place of the first bad byte.
    WriteBytes(path, "MAX X\r\nST\r\nX \x85\x40\xFF\r\n");
    QVERIFY(!doc.Load(path.toStdString(), utf8, fromUtf8, error));
    QVERIFY2(error.message.find("3 行目の 3 バイト目") != std::string::npos, error.message.c_str());
    // A folder or a missing file: refused with the reason.
    QVERIFY(!doc.Load(env_.TempPath("").toStdString(), utf8, fromUtf8, error));
    QVERIFY2(error.message.find("Is a directory") != std::string::npos, error.message.c_str());
    QVERIFY(!doc.Load(env_.TempPath("none.tvd").toStdString(), utf8, fromUtf8, error));
    QVERIFY2(error.message.find("No such file") != std::string::npos, error.message.c_str());
  }
};

QTEST_MAIN(ModelDocumentTest)
#include "model_document_test.moc"
