// The outbox file: what it keeps across reopening, a crash's cut record, a full disk, and the copy
// of the open run it shows while the store is away.
#include "filesizelimit.h"
#include "outbox.h"
#include "outboxrecords.h"
#include "readingof.h"
#include "testchanges.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

std::unique_ptr<Outbox> openOutbox(const QString& folder)
{
    QString why;
    auto outbox = Outbox::open(folder, why);
    EXPECT_TRUE(outbox) << why.toStdString();
    return outbox;
}

void appendAll(Outbox& outbox, const std::vector<RunChange>& changes)
{
    for (const RunChange& change : changes) {
        const Result appended = outbox.append(change);
        ASSERT_TRUE(appended) << appended.reason;
    }
}

TEST(Outbox, KeepsWhatWaitsAcrossReopeningAndDropsOnlyACrashsCutRecord)
{
    QTemporaryDir folder;
    const QString place = folder.path() + "/outbox";
    const std::vector<RunChange> changes = LoggedRun(3);
    const std::string file = place.toStdString() + "/outbox";
    {
        auto outbox = openOutbox(place);
        appendAll(*outbox, changes);
        ASSERT_TRUE(outbox->sent(1));
        QString why;
        EXPECT_FALSE(Outbox::open(place, why));
        EXPECT_TRUE(why.endsWith(QStringLiteral("/outbox cannot be used: another Quorvale is using it.")))
            << why.toStdString();
    }
    const std::vector<RunChange> waiting(changes.begin() + 1, changes.end());
    EXPECT_EQ(openOutbox(place)->waiting(100), waiting);

    // A record cut short, as a crash leaves it, goes; the next change follows the whole ones.
    const std::string whole = readFile(file);
    writeFile(file, whole + whole.substr(0, 30));
    {
        auto outbox = openOutbox(place);
        EXPECT_EQ(outbox->waiting(100), waiting);
        EXPECT_EQ(readFile(file), whole);
        appendAll(*outbox, {changes.front()});
    }
    EXPECT_EQ(openOutbox(place)->waitingCount(), 4u);

    // Damage before the end is no crash's: the outbox is left as it is, and named.
    std::string damaged = readFile(file);
    damaged[10] ^= 0x55;
    writeFile(file, damaged);
    QString why;
    EXPECT_FALSE(Outbox::open(place, why));
    EXPECT_TRUE(why.contains(QStringLiteral("is damaged at byte 0 and is left as it is"))) << why.toStdString();
    EXPECT_EQ(readFile(file), damaged);
}

TEST(Outbox, AFullDiskRefusesTheChangeAndCostsNoneKept)
{
    QTemporaryDir folder;
    const QString place = folder.path() + "/outbox";
    const std::vector<RunChange> changes = LoggedRun(200);
    std::size_t kept = 0;
    {
        auto outbox = openOutbox(place);
        appendAll(*outbox, {changes.begin(), changes.begin() + 50});
        ASSERT_TRUE(outbox->sent(10));
        kept = outbox->waitingCount();
    }
    const off_t before = off_t(readFile(place.toStdString() + "/outbox").size());
    // Room for some of the next changes only; the writes past the limit fail as on a full disk.
    EXPECT_TRUE(HoldsUnderFileSizeLimit(rlim_t(before + 2000), [&] {
        auto outbox = openOutbox(place);
        std::size_t added = 0;
        Result appended;
        while (added < 150 && (appended = outbox->append(changes[50 + added])))
            ++added;
        // Rewriting the file for a copy of the run fails too, and leaves the file as it was.
        const Result copied = outbox->keepRun({1, "run", {}, false, {}, std::vector<StoredReading>(200), 200});
        outbox.reset();
        const std::vector<RunChange> expected(changes.begin() + 10, changes.begin() + 50 + std::ptrdiff_t(added));
        return added > 0 && added < 150 && appended.reason.find("File too large") != std::string::npos && !copied &&
               openOutbox(place)->waiting(1000) == expected;
    }));
    EXPECT_GT(openOutbox(place)->waitingCount(), kept);
}

TEST(Outbox, TheOpenRunIsItsCopyWithEveryChangeSince)
{
    QTemporaryDir folder;
    const QString place = folder.path() + "/outbox";
    const std::string key = NewIdentity();
    StoredRun copy{4, key, DefaultRunChartRecord(), true, {1'796'000'000, 3600}, {}, 3};
    copy.readings = {{1, ReadingOf(1'796'000'001, 3600, "1"), "a"}, {3, ReadingOf(1'796'000'003, 3600, "3"), "c"}};
    RunChange record{NewIdentity(), key, RunChangeKind::ChangeRecord, {1'796'000'009, 0}, {}, {}, copy.record};
    record.record.PartNumber = "changed";
    const std::vector<RunChange> changes = {
        ReadingChange(key, 4),
        ReadingChange(key, 11, RunChangeKind::EditReading, "a"),
        ReadingChange(key, 3, RunChangeKind::RemoveReading, "c"),
        ReadingChange(key, 33, RunChangeKind::PutBackReading, "c"),
        record,
    };
    {
        auto outbox = openOutbox(place);
        ASSERT_TRUE(outbox->keepRun(copy));
        appendAll(*outbox, changes);
        // What the store took stays part of the copy until the store's own copy is kept.
        ASSERT_TRUE(outbox->sent(3));
    }
    auto outbox = openOutbox(place);
    std::optional<StoredRun> open = outbox->openRun();
    ASSERT_TRUE(open);
    StoredRun expected = copy;
    expected.record.PartNumber = "changed";
    expected.finished = false;
    expected.lastNumber = 4;
    expected.readings = {{1, ReadingOf(1'796'000'011, 3600, "11"), "a"},
                         {3, ReadingOf(1'796'000'033, 3600, "33"), "c"},
                         {4, ReadingOf(1'796'000'004, 3600, "4"), changes[0].readingKey}};
    EXPECT_EQ(open->readings, expected.readings);
    EXPECT_EQ(open->record.PartNumber, "changed");
    EXPECT_EQ(open->lastNumber, 4);
    EXPECT_FALSE(open->finished);

    // The store's own copy replaces the changes it took; those that wait go on top of it.
    ASSERT_TRUE(outbox->sent(2));
    ASSERT_TRUE(outbox->keepRun(expected));
    const RunChange later = ReadingChange(key, 5);
    appendAll(*outbox, {later});
    outbox.reset();
    outbox = openOutbox(place);
    EXPECT_EQ(outbox->waiting(100), std::vector<RunChange>{later});
    open = outbox->openRun();
    ASSERT_TRUE(open);
    expected.readings.push_back({5, later.reading, later.readingKey});
    EXPECT_EQ(open->readings, expected.readings);
    outbox.reset();

    // A run started here is the open run from then on.
    const std::vector<RunChange> next = LoggedRun(2);
    outbox = openOutbox(place);
    appendAll(*outbox, next);
    open = outbox->openRun();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->key, next.front().runKey);
    EXPECT_EQ(open->readings.size(), 2u);
    EXPECT_EQ(open->record.PartNumber, "part of " + next.front().runKey);

    // A run opened from the store is the open run from then on, though the one before still waits.
    StoredRun other = expected;
    other.key = NewIdentity();
    ASSERT_TRUE(outbox->keepRun(other));
    outbox.reset();
    outbox = openOutbox(place);
    open = outbox->openRun();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->key, other.key);
    EXPECT_EQ(open->readings, other.readings);
    std::vector<RunChange> waiting = {later};
    waiting.insert(waiting.end(), next.begin(), next.end());
    EXPECT_EQ(outbox->waiting(100), waiting);
}

} // namespace

TEST(OutboxRecords, TheRunRulesTravelAndAnOlderRecordKeepsTheDefault)
{
    RunChange chosen = LoggedRun(1).front();
    chosen.record.Rules = RunRules::Anhoj;
    const QByteArray bytes = EncodeRecord(chosen);
    qsizetype offset = 0;
    OutboxRecord decoded;
    ASSERT_EQ(DecodeRecord(bytes, offset, decoded), RecordEnd::Whole);
    EXPECT_EQ(std::get<RunChange>(decoded), chosen);

    // As an outbox from before the rules were kept holds it: the same record without its last byte.
    const QByteArray payload = bytes.mid(6, bytes.size() - 7);
    QByteArray older(6, '\0');
    qToLittleEndian(quint32(payload.size()), older.data());
    qToLittleEndian(qChecksum(payload), older.data() + 4);
    offset = 0;
    ASSERT_EQ(DecodeRecord(older + payload, offset, decoded), RecordEnd::Whole);
    chosen.record.Rules = RunRules::ShiftAndTrend;
    EXPECT_EQ(std::get<RunChange>(decoded), chosen);
}
