// The import in arrays against the import row by row: the same CSV files of good and bad
// records, imported once with one execute per record and once in arrays of a few rows, of 500
// rows and of the default size, must end alike: result code, status text, counts, the error-record and error-message
// files byte for byte, the questions asked, and the table's rows. The cases put commit points,
// the error limit, stops, cancels and a failing read of the file inside a batch, while the
// file is read ahead on a thread of its own.
#include <cerrno>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/ImportEngine.h"

namespace tabrook::testing {
namespace {

constexpr char kTable[] = "BT";
constexpr char kCreate[] =
    "create table BT (ID number(10) not null constraint BT_PK primary key, NAME varchar2(40), AMOUNT number(10,2), "
    "CREATED date, "
    "NOTE varchar2(60), QTY number(5), CODE char(2))";

std::string Good(int id) {
    return std::to_string(id) + ",name " + std::to_string(id) + "," + std::to_string(id) + ".25,2020-01-" +
           (id % 28 < 9 ? "0" : "") + std::to_string(id % 28 + 1) + " 10:11:12,note,3,AB";
}

// The refusals an import meets, one per kind, each a whole record.
std::string TooLargeNumber(int id) {
    return std::to_string(id) + ",big,1,2020-01-01 00:00:00,n,123456,AB";
}
std::string BadDate(int id) {
    return std::to_string(id) + ",date,1,2020-02-30 00:00:00,n,1,AB";
}
std::string NullKey() {
    return ",nokey,1,2020-01-01 00:00:00,n,1,AB";
}
std::string TooLongText(int id) {
    return std::to_string(id) + "," + std::string(41, 'x') + ",1,,n,1,AB";
}
std::string BadNumber(int id) {
    return std::to_string(id) + ",num,abc,,n,1,AB";
}
std::string TooLongChar(int id) {
    return std::to_string(id) + ",chr,1,,n,1,ABC";
}
std::string FewFields(int id) {
    return std::to_string(id) + ",few";
}
std::string ManyFields(int id) {
    return std::to_string(id) + ",many,1,,n,1,AB,extra,fields";
}
// A value longer than an array element takes: the row goes on its own (and is refused).
std::string Giant(int id) {
    return std::to_string(id) + ",giant,1,,\"" + std::string(40000, 'g') + "\",1,AB";
}

// The file at path, whose reading fails (EIO) once `bytes` bytes were read.
FilePtr FailingFile(const std::string& path, std::size_t bytes) {
    struct Source {
        std::FILE* file;
        std::size_t left;
    };
    cookie_io_functions_t io{};
    io.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
        auto* source = static_cast<Source*>(cookie);
        if (source->left == 0) {
            errno = EIO;
            return -1;
        }
        const std::size_t got = std::fread(buffer, 1, std::min(size, source->left), source->file);
        source->left -= got;
        return static_cast<ssize_t>(got);
    };
    io.close = [](void* cookie) {
        auto* source = static_cast<Source*>(cookie);
        std::fclose(source->file);
        delete source;
        return 0;
    };
    return FilePtr(fopencookie(new Source{std::fopen(path.c_str(), "rb"), bytes}, "rb", io));
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

// Values that fit an array element but make it wide: several hundred such rows pass the bytes
// a batch's arrays may take, so the batch is sent early (the texts are too long for their
// columns and refused).
std::string Wide(int id) {
    const std::string wide(3000, 'w');
    return std::to_string(id) + "," + wide + ",1,,\"" + wide + "\",1,AB";
}
// A value longer than the 4000 bytes a batch takes: the row goes on its own.
std::string Long(int id) {
    return std::to_string(id) + ",long,1,,\"" + std::string(5000, 'l') + "\",1,AB";
}

// Records 1 to n, good except those named in bad (record number -> text).
std::string File(int n, const std::map<int, std::string>& bad) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i) lines.push_back(bad.count(i) ? bad.at(i) : Good(i));
    return Lines(lines);
}

const std::string kMixed = Lines({
    Good(1),
    TooLargeNumber(2),
    BadDate(3),
    "",
    Good(4),
    NullKey(),
    TooLongText(5),
    Good(6),
    BadNumber(7),
    TooLongChar(8),
    FewFields(9),
    ManyFields(10),
    Good(1) /* the key again */,
    "",
    "",
    Good(11),
    Giant(12),
    Good(13),
    BadDate(14),
    Good(15),
    Good(16),
    Good(17),
    TooLargeNumber(18),
    Good(19),
    Good(20),
});

struct Case {
    std::string name;
    std::string csv;
    std::function<void(TransferSettings&, RecordingJobState&)> setup;
    std::vector<int> answers;  // to the questions, in order; then No
    int stopAtRecord = 0;      // StopPending answers true from this record on (0: never)
    int cancelAtRecord = 0;    // the user asks to cancel while this record is read (0: never)
    // The session goes away while this record is read (0: never): the array execute fails as
    // a whole and the import goes on row by row, as the row-by-row engine does. (The record
    // must follow a commit point, where no row is waiting: rows waiting in a batch are sent
    // after the loss and refused, where one by one they were sent before it.)
    int disconnectAtRecord = 0;
    int expectedRc = kImportDone;  // of both runs
    std::size_t readFailsAfter = 0;  // bytes of the file read before reading fails (0: never)
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
    return out << c.name;
}

struct Outcome {
    int rc = 0;
    std::string message;
    int records = 0;
    int success = 0;
    int errors = 0;
    bool cancelRequest = false;
    std::string err;
    std::string erm;
    std::vector<std::string> boxes;
    std::pair<int, int> lastCounts;
    Rows table;
};

class ImportBatchDiff : public DatabaseTest, public ::testing::WithParamInterface<Case> {
protected:
    Outcome Run(const Case& c, int batchRows) {
        Outcome o;
        Exec({"drop table BT", kCreate});
        settings_ = TransferSettings{};
        settings_.ErrCnt = 0;
        state_.JobListRun = false;
        state_.CancelRequest = false;
        state_.shownCounts.clear();
        if (c.setup) c.setup(settings_, state_);
        host_.boxes.clear();
        host_.answers.assign(c.answers.begin(), c.answers.end());
        host_.defaultAnswer = kMsgNo;
        const std::filesystem::path csv = Path("data.csv");
        std::filesystem::remove(ErrorRecordPath(csv.string()));
        std::filesystem::remove(ErrorMessagePath(csv.string()));
        WriteBytes(csv, c.csv);
        Preview(kTable, csv);
        state_.onShowCounts = nullptr;
        // The user interface sets a cancel request between two records; here it is set from
        // the stop test of the wanted record.
        state_.stopHook = [&] {
            if (state_.RecordCount == c.cancelAtRecord) state_.CancelRequest = true;
            if (state_.RecordCount == c.disconnectAtRecord) dm_.OCI.DisConnect();
            return c.stopAtRecord > 0 && state_.RecordCount >= c.stopAtRecord;
        };
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        ImportOptions options(batchRows);
        if (c.readFailsAfter > 0) {
            options.OpenCsv = [&](const std::string& path) { return FailingFile(path, c.readFailsAfter); };
        }
        o.rc = Import(state_, dm_, host_, Plan(kTable, context_.CsvFile), o.message, options);
        o.records = state_.RecordCount;
        o.success = state_.SuccessCount;
        o.errors = state_.ErrorCount;
        o.cancelRequest = state_.CancelRequest;
        o.err = ReadBytes(ErrorRecordPath(csv.string()));
        o.erm = ReadBytes(ErrorMessagePath(csv.string()));
        o.boxes = host_.Texts();
        if (!dm_.OCI.Connected) {
            EXPECT_TRUE(dm_.OCI.Connect()) << dm_.OCI.ErrMsg();
        }
        if (!state_.shownCounts.empty()) o.lastCounts = state_.shownCounts.back();
        o.table = Query("select ID, NAME, AMOUNT, CREATED, NOTE, QTY, CODE from BT order by ID");
        return o;
    }

    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        Exec({kCreate});
    }
};

TEST_P(ImportBatchDiff, ArraysEndAsRowByRowDoes) {
    const Case& c = GetParam();
    const Outcome single = Run(c, 1);
    ASSERT_FALSE(HasFailure());
    // The row-by-row run is the reference; it must have met the case's refusals at all.
    if (c.name != "clean") {
        EXPECT_GT(single.errors, 0);
    }
    EXPECT_EQ(single.rc, c.expectedRc);
    for (int batchRows : {3, 5, 500, ImportOptions{}.BatchRows}) {
        SCOPED_TRACE("rows per batch " + std::to_string(batchRows));
        const Outcome batch = Run(c, batchRows);
        EXPECT_EQ(batch.rc, single.rc);
        EXPECT_EQ(batch.message, single.message);
        EXPECT_EQ(batch.records, single.records);
        EXPECT_EQ(batch.success, single.success);
        EXPECT_EQ(batch.errors, single.errors);
        EXPECT_EQ(batch.cancelRequest, single.cancelRequest);
        EXPECT_EQ(batch.err, single.err);
        EXPECT_EQ(batch.erm, single.erm);
        EXPECT_EQ(batch.boxes, single.boxes);
        EXPECT_EQ(batch.lastCounts, single.lastCounts);
        EXPECT_EQ(batch.table, single.table);
    }
}

const Case kCases[] = {
    {"clean", File(23, {}), nullptr, {}, 0, 0},
    {"mixed_refusals", kMixed, nullptr, {}, 0, 0},
    {"mixed_with_header",
     Lines({"ID,NAME,AMOUNT,CREATED,NOTE,QTY,CODE"}) + kMixed,
     [](TransferSettings& s, RecordingJobState&) { s.WithHeader = true; },
     {},
     0,
     0},
    {"commit_every_7_then_stop_at_22",
     kMixed,
     [](TransferSettings& s, RecordingJobState&) {
         s.AutoCommit = true;
         s.AutoCmtCnt = 7;
     },
     {},
     22,
     0,
     0,
     kImportCancelled},
    {"wide_values_end_batches_early",
     [] {
         std::map<int, std::string> bad;
         for (int i = 3; i <= 1500; i += 3) bad[i] = Wide(i);
         bad[401] = BadDate(401);
         bad[700] = Long(700);
         return File(1500, bad);
     }(),
     nullptr,
     {}},
    {"commit_every_1",
     kMixed,
     [](TransferSettings& s, RecordingJobState&) {
         s.AutoCommit = true;
         s.AutoCmtCnt = 1;
     },
     {},
     0,
     0},
    // Refusals at records 2, 4 and 9 with a limit of 3: the job stops at record 9, and the
    // rows after it leave no trace (not counted, not in the error files, not in the table);
    // what was committed before stays.
    {"limit_3_job_list_stops",
     File(30, {{2, BadDate(2)}, {4, NullKey()}, {9, TooLongText(9)}}),
     [](TransferSettings& s, RecordingJobState& st) {
         s.ErrCnt = 3;
         st.JobListRun = true;
     },
     {},
     0,
     0,
     0,
     kImportCancelled},
    {"limit_3_with_commit_every_7_job_list",
     File(30, {{2, BadDate(2)}, {4, NullKey()}, {9, TooLongText(9)}, {12, BadNumber(12)}}),
     [](TransferSettings& s, RecordingJobState& st) {
         s.ErrCnt = 3;
         s.AutoCommit = true;
         s.AutoCmtCnt = 7;
         st.JobListRun = true;
     },
     {},
     0,
     0,
     0,
     kImportCancelled},
    {"limit_3_user_stops",
     File(30, {{2, BadDate(2)}, {4, NullKey()}, {9, TooLongText(9)}}),
     [](TransferSettings& s, RecordingJobState&) { s.ErrCnt = 3; },
     {kMsgYes},
     0,
     0,
     0,
     kImportCancelled},
    {"limit_3_user_goes_on",
     File(30, {{2, BadDate(2)}, {4, NullKey()}, {9, TooLongText(9)}, {10, Good(1)}, {25, BadDate(25)}}),
     [](TransferSettings& s, RecordingJobState&) {
         s.ErrCnt = 3;
         s.AutoCommit = true;
         s.AutoCmtCnt = 4;
     },
     {kMsgNo},
     0,
     0,
     0,
     kImportDoneAfterLimit},
    {"limit_reached_by_the_last_record",
     File(6, {{5, BadDate(5)}, {6, BadDate(6)}}),
     [](TransferSettings& s, RecordingJobState& st) {
         s.ErrCnt = 2;
         st.JobListRun = true;
     },
     {},
     0,
     0,
     0,
     kImportCancelled},
    {"stop_request_rolls_back", kMixed, nullptr, {}, 13, 0, 0, kImportCancelled},
    {"cancel_confirmed", kMixed, nullptr, {kMsgYes}, 0, 17, 0, kImportCancelled},
    {"cancel_declined_goes_on", kMixed, nullptr, {kMsgNo}, 0, 17},
    {"cancel_declined_with_commits",
     kMixed,
     [](TransferSettings& s, RecordingJobState&) {
         s.AutoCommit = true;
         s.AutoCmtCnt = 7;
     },
     {kMsgNo, kMsgYes},
     0,
     9},
    {"session_lost_after_a_commit",
     kMixed,
     [](TransferSettings& s, RecordingJobState&) {
         s.AutoCommit = true;
         s.AutoCmtCnt = 5;
     },
     {},
     0,
     0,
     7,
     kImportFailed},
    // The rows committed before the failed read stay; the import fails and rolls back the rest.
    {"read_fails_in_the_middle",
     kMixed,
     [](TransferSettings& s, RecordingJobState&) {
         s.AutoCommit = true;
         s.AutoCmtCnt = 4;
     },
     {},
     0,
     0,
     0,
     kImportFailed,
     kMixed.size() / 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, ImportBatchDiff, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace tabrook::testing
