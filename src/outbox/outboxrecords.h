// The outbox file's records: each change, the copy of the open run, and how many changes the store
// has taken. A record is its length, a checksum and its bytes, so that a record cut short by a crash
// or a full disk is told from a whole one.
#pragma once

#include "runchange.h"
#include "runstore.h"

#include <QByteArray>

#include <cstdint>
#include <variant>

namespace quorvale {

// How many of the file's changes, counted from its start, the store has taken.
struct SentMark {
    std::uint64_t changes = 0;
};

using OutboxRecord = std::variant<RunChange, StoredRun, SentMark>;

// The record's bytes with its length and checksum in front.
QByteArray EncodeRecord(const OutboxRecord& record);

enum class RecordEnd { Whole, CutShort, Damaged };

// Reads the record at offset, moving offset past it when it is whole: CutShort when the bytes end
// inside it or it is the last and not what was written (a crash's), Damaged for another record
// that is not what was written.
RecordEnd DecodeRecord(const QByteArray& bytes, qsizetype& offset, OutboxRecord& record);

} // namespace quorvale
