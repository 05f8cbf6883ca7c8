// The LOB component end to end against the embedded engine: positions, pieces and streams,
// temporary LOBs bound into INSERTs and read back through the cursor, the BFILE refusals and
// the Oracle errors the engine gives for what a client may not do.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "oci/BindAttr.h"
#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"
#include "oci/TOCIException.h"
#include "tests/oci/EmbeddedEngineTest.h"

namespace tabrook {
namespace {

namespace fs = std::filesystem;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

std::string EveryByte() {
    std::string s;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// The message of the TOCIException that f throws, or "(nothing thrown)".
template <class F>
std::string Raised(F&& f) {
    try {
        f();
    } catch (const TOCIException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

class Lob : public test::EmbeddedEngineTest {
protected:
    Lob() : EmbeddedEngineTest("oci_lob_") {}
    void SetUp() override {
        EmbeddedEngineTest::SetUp();
        if (NoSession()) return;
        cur_->OnNeedLob = [this](DataAttr& column, sb4, TOCI8Lob*& lob) {
            auto& slot = fetched_[column.Name];
            if (!slot) {
                slot = std::make_unique<TOCI8Lob>();
                slot->SetParent(oci_.get());
            }
            lob = slot.get();
            return true;
        };
    }
    void TearDown() override {
        if (cur_) cur_->CleanUp();
        cur_.reset();
        for (auto& [name, lob] : fetched_) lob->Terminate();
        for (auto& lob : made_) lob->Terminate();
        fetched_.clear();
        made_.clear();
        EmbeddedEngineTest::TearDown();
    }
    TOCI8Lob& Temporary(entLob type, bool national = false) {
        made_.push_back(std::make_unique<TOCI8Lob>());
        TOCI8Lob& lob = *made_.back();
        lob.SetParent(oci_.get());
        lob.SetLobType(type);
        lob.CreateTemporary(national);
        return lob;
    }
    // The whole content of a fetched LOB column of the current row.
    std::string Content(const std::string& column) {
        TOCI8Lob& lob = *fetched_.at(column);
        std::ostringstream out;
        lob.Seek(0, 0);
        lob.ReadToStream(out, 0);
        return out.str();
    }

    std::map<std::string, std::unique_ptr<TOCI8Lob>> fetched_;
    std::vector<std::unique_ptr<TOCI8Lob>> made_;
};

TEST_F(Lob, PositionIsZeroBasedOutsideAndFollowsReadsWritesAndSeeks) {
    TOCI8Lob& lob = Temporary(entLob::Clob);
    EXPECT_EQ(lob.GetPosition(), 0u);
    EXPECT_EQ(lob.Write("Hello, world", 12), 12u);
    EXPECT_EQ(lob.GetPosition(), 12u);
    EXPECT_EQ(lob.GetLength(), 12u);

    lob.SetPosition(0);
    char buffer[16];
    EXPECT_EQ(lob.Read(buffer, 5), 5u);
    EXPECT_EQ(std::string(buffer, 5), "Hello");
    EXPECT_EQ(lob.GetPosition(), 5u);
    EXPECT_EQ(lob.Read(buffer, 16), 7u);  // only what is left
    EXPECT_EQ(std::string(buffer, 7), ", world");
    EXPECT_EQ(buffer[7], '\0');  // the rest of the buffer is cleared

    // Seek(0, 2) stands after the last byte: a write appends.
    EXPECT_EQ(lob.Seek(0, 2), 0u);
    EXPECT_EQ(lob.GetPosition(), 12u);
    lob.Write("!", 1);
    EXPECT_EQ(lob.GetLength(), 13u);
    // Seek from the start and from the current position; a write overwrites in place.
    lob.Seek(7, 0);
    lob.Seek(-2, 1);
    lob.Write("__", 2);
    lob.SetPosition(0);
    EXPECT_EQ(lob.Read(buffer, 13), 13u);
    EXPECT_EQ(std::string(buffer, 13), "Hello__world!");

    lob.Trim(5);
    EXPECT_EQ(lob.GetLength(), 5u);
    lob.Clear();
    EXPECT_EQ(lob.GetLength(), 0u);

    // A CLOB's position and length count characters; a read takes the whole characters that fit.
    const std::string text = "日本語のテキスト";  // 8 characters, 24 bytes
    EXPECT_EQ(lob.Write(text.data(), static_cast<ub4>(text.size())), 8u);
    EXPECT_EQ(lob.GetPosition(), 8u);
    EXPECT_EQ(lob.GetLength(), 8u);
    lob.SetPosition(1);
    EXPECT_EQ(lob.Read(buffer, 10), 9u);
    EXPECT_EQ(std::string(buffer, 9), "本語の");
    EXPECT_EQ(lob.GetPosition(), 4u);
    EXPECT_EQ(lob.Read(buffer, 16), 12u);
    EXPECT_EQ(std::string(buffer, 12), "テキスト");
    lob.Clear();
    // Character set form and id: database (AL32UTF8) and national (AL16UTF16) CLOBs; none for a BLOB.
    EXPECT_EQ(lob.GetCharSetForm(), 1);
    EXPECT_EQ(lob.GetCharSetID(), 873);
    TOCI8Lob& national = Temporary(entLob::Clob, true);
    EXPECT_EQ(national.GetCharSetForm(), 2);
    EXPECT_EQ(national.GetCharSetID(), 2000);
    EXPECT_EQ(Temporary(entLob::Blob).GetCharSetForm(), 0);
    EXPECT_EQ(Temporary(entLob::Blob).GetCharSetID(), 0);
}

TEST_F(Lob, StreamsMoveInPiecesOf32767AndReportProgress) {
    TOCI8Lob& lob = Temporary(entLob::Blob);
    const std::string data = Pattern(70000);
    std::istringstream in(data);
    std::vector<ub4> progress;
    std::vector<bool> flags;
    lob.OnLobStream = [&](bool flag, ub4 moved) {
        flags.push_back(flag);
        progress.push_back(moved);
        return true;
    };
    lob.WriteFromStream(in, 0);
    EXPECT_EQ(progress, (std::vector<ub4>{32767, 65534, 70000}));
    EXPECT_EQ(flags, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(lob.GetLength(), 70000u);
    EXPECT_EQ(lob.GetPosition(), 70000u);

    progress.clear();
    std::stringstream out;
    out << "old text that must be overwritten";
    out.seekp(0);
    lob.Seek(0, 0);
    lob.ReadToStream(out, 0);
    EXPECT_EQ(progress, (std::vector<ub4>{32767, 65534, 70000}));
    EXPECT_EQ(out.tellp(), 0);  // the target stream is back at its start
    EXPECT_EQ(out.tellg(), 0);
    EXPECT_EQ(out.str(), data);

    // A count moves only that much; a progress call returning false stops after its piece.
    std::ostringstream part;
    lob.Seek(0, 0);
    lob.OnLobStream = nullptr;
    lob.ReadToStream(part, 10);
    EXPECT_EQ(part.str(), data.substr(0, 10));

    TOCI8Lob& stopped = Temporary(entLob::Blob);
    stopped.OnLobStream = [](bool, ub4) { return false; };
    std::istringstream again(data);
    stopped.WriteFromStream(again, 0);
    EXPECT_EQ(stopped.GetLength(), 32767u);

    // A stream shorter than the count asked for is refused, not padded.
    TOCI8Lob& shortOne = Temporary(entLob::Blob);
    std::istringstream tiny("abc");
    EXPECT_EQ(Raised([&] { shortOne.WriteFromStream(tiny, 10); }), "ストリームから必要なバイト数を読み込めません");
}

TEST_F(Lob, FilesLoadAndSaveWholeAndAMissingFileIsRefused) {
    const std::string data = EveryByte() + Pattern(100000);
    const fs::path source = home_ / "in.bin";
    std::ofstream(source, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
    TOCI8Lob& lob = Temporary(entLob::Blob);
    lob.LoadFromFile(source.string());
    EXPECT_EQ(lob.GetLength(), data.size());
    lob.Seek(0, 0);
    const fs::path target = home_ / "out.bin";
    lob.SaveToFile(target.string());
    std::ifstream back(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), data);
    EXPECT_EQ(Raised([&] { lob.LoadFromFile((home_ / "nothing.bin").string()); }).rfind("ファイルを開けません", 0), 0u);
}

TEST_F(Lob, LobTypeAndParentAreLockedWhileAllocated) {
    TOCI8Lob lob;
    lob.SetParent(oci_.get());
    lob.SetLobType(entLob::Blob);
    ASSERT_TRUE(lob.Initialize()) << lob.ErrMsg();
    EXPECT_EQ(Raised([&] { lob.SetLobType(entLob::Clob); }), "Lobが有効になっている間はLobTypeの変更はできません");
    EXPECT_EQ(Raised([&] { lob.SetParent(nullptr); }),
              "Lobが有効になっている間はTOCI8Ctrlへのバインドは変更できません");
    EXPECT_EQ(lob.LobType(), entLob::Blob);
    ASSERT_TRUE(lob.Terminate());
    lob.SetLobType(entLob::Clob);
    EXPECT_EQ(lob.LobType(), entLob::Clob);
    lob.SetParent(nullptr);

    TOCI8Lob orphan;
    EXPECT_FALSE(orphan.ConnChk());
    EXPECT_EQ(orphan.ErrCode(), -1);
    EXPECT_EQ(Raised([&] { orphan.GetLength(); }), "TOCI8Ctrlが指定されていません");
    EXPECT_EQ(Raised([&] { orphan.SetBufferring(true); }), "TOCI8Ctrlが指定されていません");
}

TEST_F(Lob, BFileRefusalsAndNonBFileFileNameRefusals) {
    TOCI8Lob file;
    file.SetParent(oci_.get());
    file.SetLobType(entLob::BFile);
    ASSERT_TRUE(file.Initialize()) << file.ErrMsg();
    char byte = 'x';
    std::istringstream in("abc");
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"Write", [&] { file.Write(&byte, 1); }, "BFILEには書き込めません"},
        {"Trim", [&] { file.Trim(0); }, "BFILEのサイズ調整はできません"},
        {"Clear", [&] { file.Clear(); }, "BFILEのサイズ調整はできません"},
        {"WriteFromStream", [&] { file.WriteFromStream(in, 0); }, "このLOBは書き込みできません"},
        {"LoadFromFile", [&] { file.LoadFromFile("/dev/null"); }, "このLOBは書き込みできません"},
    };
    for (const auto& c : cases) EXPECT_EQ(Raised(c.call), c.message) << c.what;

    TOCI8Lob& clob = Temporary(entLob::Clob);
    std::string dir, name;
    EXPECT_EQ(Raised([&] { clob.GetFileName(dir, name); }), "BFILE以外はファイル名の取得はできません");
    EXPECT_EQ(Raised([&] { clob.SetFileName("D", "f"); }), "BFILE以外はファイル名の設定はできません");
    EXPECT_EQ(Raised([&] { clob.GetExists(); }), "このLOBはBFILEではありません");

    file.SetFileName("NO_SUCH_DIR", "a.txt");
    file.GetFileName(dir, name);
    EXPECT_EQ(dir, "NO_SUCH_DIR");
    EXPECT_EQ(name, "a.txt");
    const std::string missingDir = Raised([&] { file.Read(&byte, 1); });
    EXPECT_EQ(missingDir.rfind("ORA-22285", 0), 0u) << missingDir;
    EXPECT_TRUE(file.Terminate());
}

TEST_F(Lob, BoundTemporaryLobsAreStoredAndReadBackThroughTheCursor) {
    Exec("CREATE TABLE DOCS (ID NUMBER(5), TXT CLOB, BIN BLOB, NTXT NCLOB)");
    const std::string text = Pattern(200000) + "日本語のテキスト";
    const std::string bytes = EveryByte();

    TOCI8Lob& clob = Temporary(entLob::Clob);
    TOCI8Lob& blob = Temporary(entLob::Blob);
    TOCI8Lob& nclob = Temporary(entLob::Clob, true);
    std::istringstream textIn(text), bytesIn(bytes), nIn("ｎａｔｉｏｎａｌ");
    clob.WriteFromStream(textIn, 0);
    blob.WriteFromStream(bytesIn, 0);
    nclob.WriteFromStream(nIn, 0);

    cur_->SetSQL("INSERT INTO DOCS (ID, TXT, BIN, NTXT) VALUES (1, :T, :B, :N)");
    AddBind(cur_->Binds, ":T", "", true);
    AddBind(cur_->Binds, ":B", "", true);
    AddBind(cur_->Binds, ":N", "", true);
    cur_->Binds[0]->BindType = kBindClob;
    cur_->Binds[0]->Lob = clob.GetLobLocator();
    cur_->Binds[1]->BindType = kBindBlob;
    cur_->Binds[1]->Lob = blob.GetLobLocator();
    cur_->Binds[2]->BindType = kBindClob;
    cur_->Binds[2]->Lob = nclob.GetLobLocator();
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    Exec("INSERT INTO DOCS (ID, TXT, BIN, NTXT) VALUES (2, EMPTY_CLOB(), EMPTY_BLOB(), TO_CLOB('x'))");
    Exec("INSERT INTO DOCS (ID) VALUES (3)");
    Exec("INSERT INTO DOCS (ID, TXT) VALUES (4, 'plain text into a CLOB')");

    cur_->SetSQL("SELECT ID, TXT, BIN, NTXT FROM DOCS ORDER BY ID");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"1", "(CLOB)", "(BLOB)", "(NCLOB)"}));
    EXPECT_EQ(Content("TXT"), text);
    EXPECT_EQ(Content("BIN"), bytes);
    EXPECT_EQ(Content("NTXT"), "ｎａｔｉｏｎａｌ");
    EXPECT_EQ(fetched_.at("NTXT")->GetCharSetForm(), 2);
    // A selected LOB's row is not locked: writing through its locator is refused.
    const std::string refused = Raised([&] { fetched_.at("TXT")->Write("x", 1); });
    EXPECT_EQ(refused.rfind("ORA-22920", 0), 0u) << refused;

    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();  // empty LOBs are values, not NULL
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"2", "(CLOB)", "(BLOB)", "(NCLOB)"}));
    EXPECT_EQ(fetched_.at("TXT")->GetLength(), 0u);
    EXPECT_EQ(fetched_.at("BIN")->GetLength(), 0u);
    EXPECT_EQ(Content("NTXT"), "x");

    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();  // NULL renders as empty text, no placeholder
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"3", "", "", ""}));
    EXPECT_EQ(cur_->Columns[1].Indicator, -1);

    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(Content("TXT"), "plain text into a CLOB");
    EXPECT_FALSE(cur_->Fetch());
    EXPECT_EQ(cur_->ErrCode(), 100);

    // LENGTH and SUBSTR see the stored text; SUBSTR of a CLOB is a CLOB, as in Oracle.
    cur_->SetSQL("SELECT LENGTH(TXT), SUBSTR(TXT, 3, 4) PART, LENGTH(BIN), LENGTH(NTXT) FROM DOCS WHERE ID = 4");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"22", "(CLOB)", "", ""}));
    EXPECT_EQ(Content("PART"), "ain ");
    cur_->SetSQL("SELECT LENGTH(TXT) FROM DOCS WHERE ID = 1");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values[0], std::to_string(200000 + 8));  // characters, not bytes
}

TEST_F(Lob, CopyBufferingAndTheirOracleErrors) {
    TOCI8Lob& source = Temporary(entLob::Clob);
    source.Write("source text", 11);
    TOCI8Lob& target = Temporary(entLob::Clob);
    target.Write("0123456789ABCDEFGHIJ", 20);
    target.CopyFrom(source);  // overwrites from the first byte, keeps the rest
    char buffer[20];
    target.Seek(0, 0);
    EXPECT_EQ(target.Read(buffer, 20), 20u);
    EXPECT_EQ(std::string(buffer, 20), "source textBCDEFGHIJ");

    TOCI8Lob& blob = Temporary(entLob::Blob);
    const std::string wrongType = Raised([&] { blob.CopyFrom(source); });
    EXPECT_EQ(wrongType.rfind("ORA-00932", 0), 0u) << wrongType;

    target.SetBufferring(true);
    EXPECT_TRUE(target.Bufferring());
    target.SetBufferring(true);  // unchanged: nothing to do
    target.Seek(0, 2);
    target.Write("++", 2);
    target.Flush();
    const std::string trimBuffered = Raised([&] { target.Trim(1); });
    EXPECT_EQ(trimBuffered.rfind("ORA-22279", 0), 0u) << trimBuffered;
    target.SetBufferring(false);
    EXPECT_EQ(target.GetLength(), 22u);
    const std::string tooLong = Raised([&] { target.Trim(100); });
    EXPECT_EQ(tooLong.rfind("ORA-22926", 0), 0u) << tooLong;
    target.Trim(6);
    EXPECT_EQ(target.GetLength(), 6u);
    // Reading past the end is an Oracle error, not silence.
    target.SetPosition(6);
    const std::string pastEnd = Raised([&] { target.Read(buffer, 1); });
    EXPECT_EQ(pastEnd.rfind("ORA-01403", 0), 0u) << pastEnd;
}

TEST_F(Lob, BFilesAreReadFromTheFolderOfTheirDirectory) {
    const fs::path folder = home_ / "files";
    fs::create_directories(folder);
    const std::string data = "Hello BFILE\n" + EveryByte();
    std::ofstream(folder / "hello.bin", std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
    Exec("CREATE DIRECTORY DOCS AS '" + folder.string() + "'");
    cur_->SetSQL("CREATE DIRECTORY DOCS AS '/elsewhere'");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrCode(), 955);
    Exec("CREATE OR REPLACE DIRECTORY OTHER AS '/nowhere'");
    Exec("CREATE TABLE F (ID NUMBER(3), DOC BFILE, TXT CLOB)");
    Exec("INSERT INTO F VALUES (1, BFILENAME('DOCS', 'hello.bin'), 'beside')");
    Exec("INSERT INTO F VALUES (2, BFILENAME('DOCS', 'missing.bin'), NULL)");
    Exec("INSERT INTO F VALUES (3, BFILENAME('OTHER', 'x'), NULL)");

    cur_->SetSQL("SELECT ID, DOC, TXT FROM F ORDER BY ID");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"1", "(BFILE)", "(CLOB)"}));
    TOCI8Lob& file = *fetched_.at("DOC");
    EXPECT_EQ(file.LobType(), entLob::BFile);
    std::string dir, name;
    file.GetFileName(dir, name);
    EXPECT_EQ(dir, "DOCS");
    EXPECT_EQ(name, "hello.bin");
    EXPECT_TRUE(file.GetExists());
    EXPECT_EQ(file.GetLength(), data.size());
    char buffer[5];
    file.SetPosition(0);
    EXPECT_EQ(file.Read(buffer, 5), 5u);  // opens and closes the file around the read
    EXPECT_EQ(std::string(buffer, 5), "Hello");
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(Content("DOC"), data);
    EXPECT_EQ(Content("TXT"), "beside");

    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_FALSE(fetched_.at("DOC")->GetExists());
    const std::string missing = Raised([&] { fetched_.at("DOC")->Read(buffer, 1); });
    EXPECT_EQ(missing.rfind("ORA-22288", 0), 0u) << missing;
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_FALSE(fetched_.at("DOC")->GetExists());  // a directory whose folder is missing

    // A component of its own, named by hand; a failed read leaves the file closed.
    TOCI8Lob named;
    named.SetParent(oci_.get());
    named.SetLobType(entLob::BFile);
    ASSERT_TRUE(named.Initialize()) << named.ErrMsg();
    named.SetFileName("DOCS", "hello.bin");
    named.SetPosition(static_cast<ub4>(data.size()) + 10);
    const std::string pastEnd = Raised([&] { named.Read(buffer, 1); });
    EXPECT_EQ(pastEnd.rfind("ORA-01403", 0), 0u) << pastEnd;
    named.SetPosition(6);
    EXPECT_EQ(named.Read(buffer, 5), 5u);
    EXPECT_EQ(std::string(buffer, 5), "BFILE");
    const fs::path copy = home_ / "copy.bin";
    named.Seek(0, 0);
    named.SaveToFile(copy.string());
    std::ifstream back(copy, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), data);
    EXPECT_TRUE(named.Terminate());
    named.SetParent(nullptr);

    Exec("DROP DIRECTORY OTHER");
    cur_->SetSQL("DROP DIRECTORY OTHER");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrCode(), 4043);
}

}  // namespace
}  // namespace tabrook
