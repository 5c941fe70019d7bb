// A growable in-memory byte stream with a read/write position, named by a
// handle that any thread may use until the stream is closed. It carries the
// records between the web request and its worker thread, and turns header
// text into lines.
//
// Serialised record: each element in order as its length (signed 32-bit
// little-endian) followed by its bytes; no count before or after, so the
// reader must know how many elements to expect.
//
// A handle that names no open stream makes every operation do nothing: the
// writes, ReadRecord and Rewind report false, ReadLine gives the empty text
// and AtEnd reports true.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/bytes_array.h"
#include "core/text.h"

using StreamHandle = std::int32_t;

// A new empty stream; its handle is never reused.
StreamHandle OpenMemoryStream();

// Writes the elements of `record` at the position. False, with the position
// restored, when the stream cannot grow or an element is too long for its
// 32-bit length word.
bool WriteRecord(StreamHandle h, const BytesArray& record);

// Writes the elements of `record` from position `first` on, as WriteRecord does.
bool WriteRecordFrom(StreamHandle h, const BytesArray& record, int first);

// Fills `buffer` with up to `size` bytes; the count written, 0 at the end.
using PieceSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// Writes at the position one element whose bytes `source` delivers in pieces
// of up to `pieceSize` bytes, straight into the stream, so that a long element
// is never held twice. False, with the position restored, when the stream
// cannot grow or the element outgrows its 32-bit length word; the bytes after
// the position may then have been overwritten.
bool WriteElementFrom(StreamHandle h, std::size_t pieceSize, const PieceSource& source);

// Reads as many elements as `record` already has. On success `record` holds
// the new elements and the position is just past them; on a truncated record
// it is unchanged, the position is restored and the result is false.
bool ReadRecord(StreamHandle h, BytesArray& record);

// Writes the bytes of `t`, without terminator or line break, at the position.
bool WriteText(StreamHandle h, const Text& t);

// Writes the bytes of `b` as they are, zero bytes included, at the position.
bool WriteBytes(StreamHandle h, const Bytes& b);

// The next line: the bytes up to a LF (consumed), a zero or 0x1A byte (left
// unread) or the end, without a CR just before the end. Double-byte aware: the
// second byte of a two-byte character never ends the line.
Text ReadLine(StreamHandle h);

// True when no byte is left to read; with `textMode`, also when the byte at
// the position is a zero or 0x1A byte.
bool AtEnd(StreamHandle h, bool textMode);

// Moves the position one byte on, over a zero or 0x1A byte that ReadLine
// leaves unread; false at the end.
bool SkipByte(StreamHandle h);

// Moves the position to 0; the contents stay.
bool Rewind(StreamHandle h);

// Releases the stream; the handle names nothing afterwards.
void CloseStream(StreamHandle h);

// The whole contents, whatever the position.
Bytes StreamContents(StreamHandle h);
