#include "newrun.h"
#include "readingof.h"
#include "runline.h"
#include "runmodel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace quorvale {
namespace {

Reading at(std::int64_t second, const std::string& value)
{
    return ReadingOf(1796650000 + second, 3600, value);
}

RunChartRecord recordWith(std::string check, std::string upper, std::string lower)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = std::move(check);
    record.UpperTolerance = std::move(upper);
    record.LowerTolerance = std::move(lower);
    return record;
}

// What a command must leave as it was when it is undone.
struct Seen {
    RunState state;
    std::vector<bool> outside;
    std::vector<RunSignal::Kind> signalKinds;
    std::optional<std::size_t> outOfTolerance;
    std::optional<double> cpk;
    std::string line;

    bool operator==(const Seen& other) const
    {
        // The store keeps a run once it has had a reading, whatever is undone later.
        RunState mine = state, theirs = other.state;
        mine.started = theirs.started = false;
        return mine == theirs && outside == other.outside && signalKinds == other.signalKinds &&
               outOfTolerance == other.outOfTolerance && cpk == other.cpk && line == other.line;
    }
};

Seen seen(const RunModel& model)
{
    Seen s{model.state(), {}, {}, model.statistics().outOfTolerance, model.statistics().cpk, RunLineText(model)};
    for (int row = 0; row < model.rowCount(); ++row)
        s.outside.push_back(model.isOutside(row));
    for (const RunSignal& signal : model.statistics().runSignals)
        s.signalKinds.push_back(signal.kind);
    return s;
}

// The store as the changes describe it: each run's record, finish and readings in the order logged.
struct ChangeLog {
    struct Kept {
        std::string key;
        Reading reading;
        bool present = true;
    };
    struct Run {
        RunChartRecord record;
        std::vector<Kept> readings;
        bool finished = false;
    };
    std::map<std::string, Run> runs;
    std::set<std::string> ids;
    std::vector<RunChange> changes;

    void take(const RunChange& change)
    {
        changes.push_back(change);
        EXPECT_TRUE(ids.insert(change.id).second) << "a change identity came twice";
        if (change.kind == RunChangeKind::StartRun) {
            EXPECT_FALSE(runs.count(change.runKey)) << "a run was started twice";
            runs[change.runKey].record = change.record;
            return;
        }
        ASSERT_TRUE(runs.count(change.runKey)) << "a change to a run never started";
        Run& run = runs[change.runKey];
        EXPECT_FALSE(run.finished);
        auto kept = std::find_if(run.readings.begin(), run.readings.end(),
                                 [&](const Kept& k) { return k.key == change.readingKey; });
        switch (change.kind) {
        case RunChangeKind::LogReading:
            EXPECT_EQ(kept, run.readings.end());
            run.readings.push_back({change.readingKey, change.reading});
            break;
        case RunChangeKind::EditReading:
            ASSERT_NE(kept, run.readings.end());
            EXPECT_TRUE(kept->present);
            kept->reading = change.reading;
            break;
        case RunChangeKind::RemoveReading:
            ASSERT_NE(kept, run.readings.end());
            EXPECT_TRUE(kept->present);
            kept->present = false;
            break;
        case RunChangeKind::PutBackReading:
            ASSERT_NE(kept, run.readings.end());
            EXPECT_FALSE(kept->present);
            *kept = {change.readingKey, change.reading, true};
            break;
        case RunChangeKind::ChangeRecord:
            run.record = change.record;
            break;
        case RunChangeKind::Finish:
            run.finished = true;
            break;
        case RunChangeKind::StartRun:
            break;
        }
    }

    std::vector<RunReading> readingsOf(const std::string& runKey) const
    {
        std::vector<RunReading> present;
        for (const Kept& kept : runs.at(runKey).readings)
            if (kept.present)
                present.push_back({kept.key, kept.reading});
        return present;
    }
};

class RunModelTest : public testing::Test {
protected:
    RunModelTest()
    {
        model.setChangeSink([this](std::span<const RunChange> changes) {
            if (!refusal.empty())
                return Result::failure(refusal);
            for (const RunChange& change : changes)
                log.take(change);
            return Result{};
        });
        model.setClock([] { return Moment{1796659999, 3600}; });
    }

    void logValues(std::initializer_list<const char*> values)
    {
        for (const char* value : values)
            model.logReading(at(model.rowCount() * 60, value));
    }

    std::string keyAt(int row) const { return model.readings()[std::size_t(row)].key; }

    // Does, undoes and redoes a command; each way leaves the run as before or after it.
    template <class Command> void checkUndoable(Command command)
    {
        const Seen before = seen(model);
        const int depth = model.undoStack().index();
        command();
        ASSERT_EQ(model.undoStack().index(), depth + 1);
        const Seen after = seen(model);
        EXPECT_FALSE(after == before) << "the command changed nothing";
        model.undoStack().undo();
        EXPECT_TRUE(seen(model) == before);
        model.undoStack().redo();
        EXPECT_TRUE(seen(model) == after);
        model.undoStack().undo();
        EXPECT_TRUE(seen(model) == before);
    }

    ChangeLog log;
    std::string refusal; // why the sink refuses every change; none when empty
    RunModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(RunModelTest, EveryCommandAndItsUndoLeaveTheRunAsItWas)
{
    model.changeRecord(recordWith("25.000", "0.010", "0.010"));
    logValues({"25.001", "24.998", "25.004", "25.002", "25.003", "25.005", "25.006", "25.007"});

    checkUndoable([&] { model.logReading(at(1000, "25.013")); });
    checkUndoable([&] { model.editReading(keyAt(2), at(120, "250.03")); });
    checkUndoable([&] { model.editReading(keyAt(2), at(400, "25.004")); });
    checkUndoable([&] { model.removeReadings({keyAt(0)}); });
    checkUndoable([&] { model.removeReadings({keyAt(5), keyAt(1), keyAt(3)}); });
    checkUndoable([&] {
        model.removeReadings({keyAt(0), keyAt(1), keyAt(2), keyAt(3), keyAt(4), keyAt(5), keyAt(6), keyAt(7)});
    });
    checkUndoable([&] { model.changeRecord(recordWith("25.005", "0.001", "0.001")); });
    checkUndoable([&] { model.setReadingsAreDeviations(true); });
    checkUndoable([&] { model.startNewRun(RecordDatedOn(model.record(), QDate(2026, 12, 8))); });
    // The store followed every step: what it holds of the run is what the model shows.
    EXPECT_EQ(log.readingsOf(model.runKey()), model.readings());
    EXPECT_EQ(log.runs.at(model.runKey()).record, model.record());
}

TEST_F(RunModelTest, UndoNamesWhatItUndoesAndEveryWayOutReachesTheStoreAsItsOwnChange)
{
    model.changeRecord(recordWith("25.000", "0.010", "0.010"));
    EXPECT_TRUE(log.changes.empty()) << "a run without readings reached the store";
    logValues({"25.001", "25.002", "25.003", "25.004"});
    ASSERT_EQ(log.changes.size(), 5u);
    EXPECT_EQ(log.changes[0].kind, RunChangeKind::StartRun);
    EXPECT_EQ(log.changes[0].record.Check, "25.000");

    const std::string lastKey = keyAt(3);
    model.removeReadings({keyAt(0), keyAt(2), keyAt(3)});
    EXPECT_EQ(model.undoStack().undoText(), "Remove 3 Readings");
    EXPECT_EQ(log.changes[5].readingKey, lastKey);
    model.undoStack().undo();
    EXPECT_EQ(log.changes.size(), 5u + 3 + 3);
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::PutBackReading);
    EXPECT_EQ(log.changes.back().readingKey, lastKey);
    EXPECT_EQ(keyAt(3), lastKey);

    model.setReadingsAreDeviations(true);
    EXPECT_EQ(model.undoStack().undoText(), "Readings Are Deviations From Check");
    model.undoStack().undo();
    EXPECT_FALSE(model.record().ReadingsAreDeviations);
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::ChangeRecord);
    EXPECT_FALSE(log.changes.back().record.ReadingsAreDeviations);
    // The run rules travel the same way; the statistics follow the choice.
    model.setRunRules(RunRules::Anhoj);
    EXPECT_EQ(model.undoStack().undoText(), "Anh\u00F8j's Rules");
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::ChangeRecord);
    EXPECT_EQ(log.changes.back().record.Rules, RunRules::Anhoj);
    model.undoStack().undo();
    EXPECT_EQ(log.changes.back().record.Rules, RunRules::ShiftAndTrend);
    model.undoStack().redo();
    EXPECT_EQ(model.record().Rules, RunRules::Anhoj);
    model.setRunRules(RunRules::ShiftAndTrend);
    EXPECT_EQ(model.undoStack().undoText(), "Shift and Trend");
    model.undoStack().undo();
    model.undoStack().undo();
    // The undo of a log takes the reading out, and its redo brings back the same one.
    const std::string last = keyAt(3);
    model.undoStack().undo(); // the removal's redo was undone already: this undoes the fourth log
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::RemoveReading);
    EXPECT_EQ(log.changes.back().readingKey, last);
    model.undoStack().redo();
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::PutBackReading);
    EXPECT_EQ(keyAt(3), last);
}

TEST_F(RunModelTest, AFinishedRunStaysAsItWasFinished)
{
    model.changeRecord(recordWith("25.000", "0.010", "0.010"));
    logValues({"25.001", "25.002"});
    const RunState finished = [&] {
        model.finish();
        return model.state();
    }();
    EXPECT_EQ(log.changes.back().kind, RunChangeKind::Finish);
    EXPECT_FALSE(model.undoStack().canUndo()) << "Finish is not undone, nor what came before it";

    // A reading after Finish starts the next run, with the same record dated the reading's day.
    model.logReading(at(86400 * 3, "25.004"));
    EXPECT_NE(model.runKey(), finished.key);
    EXPECT_FALSE(model.isFinished());
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.record().Check, "25.000");
    EXPECT_EQ(model.record(), RecordDatedOn(finished.record, QDate(2026, 12, 10)));
    EXPECT_EQ(log.readingsOf(finished.key).size(), 2u);
    EXPECT_TRUE(log.runs.at(finished.key).finished);
    EXPECT_EQ(log.readingsOf(model.runKey()), model.readings());

    // Undone as one step, the finished run shows again, still finished.
    EXPECT_EQ(model.undoStack().undoText(), "Log Reading");
    model.undoStack().undo();
    EXPECT_EQ(model.state(), finished);
}

TEST_F(RunModelTest, WhatTheSinkRefusesIsTakenBackAndLeavesNoStep)
{
    model.changeRecord(recordWith("25.000", "0.010", "0.010"));
    refusal = "the disk is full";
    model.logReading(at(0, "25.001"));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.undoStack().index(), 1);
    EXPECT_TRUE(log.changes.empty());
    // The run the store never had starts with the next reading that is kept.
    refusal.clear();
    logValues({"25.001", "25.002"});
    ASSERT_EQ(log.changes.size(), 3u);
    EXPECT_EQ(log.changes[0].kind, RunChangeKind::StartRun);

    refusal = "the disk is full";
    const Seen before = seen(model);
    const int depth = model.undoStack().index();
    model.removeReadings({keyAt(0), keyAt(1)});
    model.editReading(keyAt(0), at(0, "25.009"));
    model.changeRecord(recordWith("25.000", "0.020", "0.010"));
    model.finish();
    EXPECT_TRUE(seen(model) == before);
    EXPECT_FALSE(model.isFinished());
    EXPECT_EQ(model.undoStack().index(), depth);
    // A refused undo leaves the change done, and the step goes: there is nothing left to undo it with.
    model.undoStack().undo();
    EXPECT_TRUE(seen(model) == before);
    EXPECT_EQ(model.undoStack().index(), depth - 1);
    EXPECT_EQ(log.changes.size(), 3u);
    EXPECT_EQ(log.readingsOf(model.runKey()), model.readings());
}

TEST_F(RunModelTest, TheLineFollowsTheRunNotWhatWasTyped)
{
    model.changeRecord(recordWith("25.000", "0.010", "0.010"));
    logValues({"25.001"});
    model.logReading(at(300, "250.03"));
    EXPECT_EQ(RunLineText(model),
              "Reading 2 (250.03) is above the upper limit 25.010. 2 readings, 1 out of tolerance.");
    model.editReading(keyAt(1), at(300, "25.003"));
    EXPECT_EQ(RunLineText(model), "Reading 2 (25.003) is within the limits. 2 readings, 0 out of tolerance.");
    model.removeReadings({keyAt(1)});
    EXPECT_EQ(RunLineText(model), "Reading 1 (25.001) is within the limits. 1 reading, 0 out of tolerance.");
    model.changeRecord(recordWith("24.990", "0.010", "0.005"));
    EXPECT_EQ(RunLineText(model), "Reading 1 (25.001) is above the upper limit 25.000. 1 reading, 1 out of tolerance.");
    EXPECT_TRUE(model.isOutside(0));
    model.removeReadings({keyAt(0)});
    EXPECT_EQ(RunLineText(model), "");
    // A Check that is no number says why the readings are deviations, with readings or without.
    model.changeRecord(recordWith("25 +/- 0.01", "0.010", "0.010"));
    EXPECT_EQ(RunLineText(model), "Check is not a number: readings are deviations from 0.");
    model.logReading(at(400, "0.002"));
    EXPECT_EQ(RunLineText(model), "Reading 1 (0.002) is within the limits. 1 reading, 0 out of tolerance. Check is "
                                  "not a number: readings are deviations from 0.");
    model.removeReadings({keyAt(0)});
    model.changeRecord(recordWith("24.990 mm", "0.010", "0.005"));
    EXPECT_EQ(RunLineText(model), "");

    // Cpk is named once there are enough readings to say something.
    for (std::size_t i = 0; i + 1 < CpkReadings; ++i)
        model.logReading(at(600 + std::int64_t(i), i % 2 ? "24.991" : "24.993"));
    EXPECT_EQ(RunLineText(model).find("Cpk"), std::string::npos);
    model.logReading(at(700, "24.992"));
    EXPECT_NE(RunLineText(model).find(", Cpk "), std::string::npos) << RunLineText(model);
}

// A long random run of commands, undos and redos against a plain list of the states it went through.
TEST_F(RunModelTest, ARandomSequenceMatchesAPlainReference)
{
    std::mt19937 random(20261207);
    const auto pick = [&](int below) { return int(random() % unsigned(below)); };
    std::vector<RunState> done{model.state()}; // done.back() is the state now
    std::vector<RunState> undone;
    const RunChartRecord records[] = {recordWith("25.000", "0.010", "0.010"), recordWith("25.005", "0.002", "0.002"),
                                      recordWith("", "0.01", "0.01"), recordWith("x", "", "")};
    std::int64_t second = 0;

    for (int step = 0; step < 3000; ++step) {
        RunState next = done.back();
        const int choice = pick(100);
        if (choice < 12 && model.undoStack().canUndo()) {
            model.undoStack().undo();
            undone.push_back(done.back());
            done.pop_back();
        } else if (choice < 18 && model.undoStack().canRedo()) {
            model.undoStack().redo();
            done.push_back(undone.back());
            undone.pop_back();
        } else {
            if (choice < 50 || next.readings.empty()) {
                const Reading reading = at(second += 7, std::to_string(24.99 + pick(30) / 1000.0).substr(0, 6));
                model.logReading(reading);
                next.readings.push_back({model.readings().back().key, reading});
            } else if (choice < 65) {
                RunReading& edited = next.readings[std::size_t(pick(int(next.readings.size())))];
                edited.reading.value = DecimalOf(std::to_string(pick(100)));
                model.editReading(edited.key, edited.reading);
            } else if (choice < 80) {
                std::vector<std::string> keys;
                for (int i = pick(3) + 1; i > 0 && !next.readings.empty(); --i) {
                    const auto gone = next.readings.begin() + pick(int(next.readings.size()));
                    keys.push_back(gone->key);
                    next.readings.erase(gone);
                }
                model.removeReadings(keys);
            } else if (choice < 95) {
                next.record = records[pick(4)];
                next.record.ReadingsAreDeviations = pick(2);
                model.changeRecord(next.record);
            } else {
                model.startNewRun(next.record);
                next = RunState{model.runKey(), next.record, {}, false, false};
            }
            if (next == done.back())
                continue; // a change to what is there already is no command
            undone.clear();
            done.push_back(next);
        }
        RunState shown = model.state();
        shown.started = false;
        RunState expected = done.back();
        expected.started = false;
        ASSERT_EQ(shown, expected) << "at step " << step;
        ASSERT_EQ(model.undoStack().index(), int(done.size()) - 1) << "at step " << step;
        if (step % 50 == 0) {
            std::vector<Decimal> values;
            for (const RunReading& reading : expected.readings)
                values.push_back(reading.reading.value);
            const RunStatistics plain = StatisticsOf(values, RunLimits(expected.record));
            EXPECT_EQ(model.statistics().readings, plain.readings);
            EXPECT_EQ(model.statistics().outOfTolerance, plain.outOfTolerance);
            EXPECT_EQ(model.statistics().mean, plain.mean);
            EXPECT_EQ(model.statistics().runSignals.size(), plain.runSignals.size());
        }
        if (model.state().started) {
            ASSERT_EQ(log.readingsOf(model.runKey()), model.readings()) << "at step " << step;
            ASSERT_EQ(log.runs.at(model.runKey()).record, model.record()) << "at step " << step;
        }
    }
}

} // namespace
} // namespace quorvale
