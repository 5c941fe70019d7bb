#include "core/memory_stream.h"

#include "core/lasting_objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/heap_allocator.h"
#include "platform/large_blocks.h"

namespace {

constexpr std::size_t kBufferStep = 1024;
constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kCarriageReturn = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;

bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// A zero or 0x1A byte ends a line without being consumed.
bool IsTextEnd(unsigned char c) { return c == 0 || c == kEndOfFile; }

// The bytes and position of one stream. A failed growth leaves it as it was,
// so that a write can report false instead of ending the process.
class StreamBuffer {
 public:
  StreamBuffer() = default;
  StreamBuffer(const StreamBuffer&) = delete;
  StreamBuffer& operator=(const StreamBuffer&) = delete;
  ~StreamBuffer() { std::free(data_); }

  std::size_t Position() const { return position_; }
  void Seek(std::size_t position) { position_ = position; }
  std::string_view Contents() const { return {reinterpret_cast<const char*>(data_), length_}; }
  std::string_view Unread() const { return Contents().substr(position_); }

  // Writes `bytes` at the position and moves past them; false when the buffer cannot grow.
  bool Write(std::string_view bytes) {
    if (!ReserveAfterPosition(bytes.size())) return false;
    if (!bytes.empty()) std::memcpy(AtPosition(), bytes.data(), bytes.size());
    Advance(bytes.size());
    return true;
  }

  // Makes room for `count` bytes from the position, so that a write of known
  // size grows the buffer at most once; false when it cannot grow.
  bool ReserveAfterPosition(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() - position_) return false;
    return Reserve(position_ + count);
  }

  // Where bytes reserved after the position are filled in place.
  char* AtPosition() { return reinterpret_cast<char*>(data_) + position_; }

  // Moves past `count` bytes filled in place.
  void Advance(std::size_t count) {
    position_ += count;
    length_ = std::max(length_, position_);
  }

 private:
  // A whole number of 1024-byte steps, at least doubling, so that a long run
  // of writes costs time linear in its length.
  bool Reserve(std::size_t needed) {
    if (needed <= capacity_) return true;
    const std::size_t limit = std::numeric_limits<std::size_t>::max() / 2;
    if (needed > limit) return false;
    const std::size_t wanted = std::max(needed, capacity_ * 2);
    const std::size_t capacity = (wanted + kBufferStep - 1) / kBufferStep * kBufferStep;
    void* grown = std::realloc(data_, capacity);
    if (grown == nullptr) return false;
    data_ = static_cast<unsigned char*>(grown);
    capacity_ = capacity;
    platform::PreferLargePages(data_, capacity);
    return true;
  }

  unsigned char* data_ = nullptr;
  std::size_t length_ = 0;
  std::size_t capacity_ = 0;
  std::size_t position_ = 0;
};

// Every open stream, reached from the caller's thread and the worker thread.
class StreamRegistry {
 public:
  StreamHandle Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    // Counted unsigned so that the count wraps rather than overflows; a
    // handle is reused only after 2^32 streams have been opened.
    const auto handle = static_cast<StreamHandle>(openedCount_++);
    streams_.try_emplace(handle);
    return handle;
  }

  // The stream named by `handle`, or null. A stream is used by one thread at
  // a time, so it may be used after the lock is let go.
  StreamBuffer* Find(StreamHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = streams_.find(handle);
    return found == streams_.end() ? nullptr : &found->second;
  }

  void Close(StreamHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    streams_.erase(handle);
  }

 private:
  using Entry = std::pair<const StreamHandle, StreamBuffer>;

  std::mutex mutex_;
  std::uint32_t openedCount_ = 1;
  std::unordered_map<StreamHandle, StreamBuffer, std::hash<StreamHandle>,
                     std::equal_to<StreamHandle>, HeapAllocator<Entry>>
      streams_;
};

StreamRegistry& Registry() {
  // Kept past the exit-time destructors: a worker abandoned after a time-out
  // may still reach its stream while the process is being torn down.
  static StreamRegistry* registry = KeptUntilRelease(new StreamRegistry());
  return *registry;
}

// Writes, or leaves the position where it was when anything fails.
template <typename WriteAll>
bool WriteOrRestore(StreamHandle h, WriteAll writeAll) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr) return false;
  const std::size_t start = stream->Position();
  if (writeAll(*stream)) return true;
  stream->Seek(start);
  return false;
}

constexpr std::size_t kLengthWordSize = 4;

bool FitsLengthWord(const Bytes& element) {
  return element.Size() <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

// Bytes the serialised elements from `first` on take; none when an element is too long for its
// length word.
std::optional<std::size_t> SerialisedSize(const BytesArray& record, int first) {
  std::size_t total = 0;
  for (int i = std::max(first, 0); i < record.ElementCount(); ++i) {
    const Bytes& element = record.At(i);
    const std::size_t size = kLengthWordSize + element.Size();
    if (!FitsLengthWord(element) || size > std::numeric_limits<std::size_t>::max() - total) {
      return std::nullopt;
    }
    total += size;
  }
  return total;
}

bool WriteLengthWord(StreamBuffer& stream, std::size_t size) {
  const auto length = static_cast<std::uint32_t>(size);
  const char lengthWord[kLengthWordSize] = {
      static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
      static_cast<char>((length >> 16) & 0xFF), static_cast<char>((length >> 24) & 0xFF)};
  return stream.Write(std::string_view(lengthWord, kLengthWordSize));
}

bool WriteElement(StreamBuffer& stream, const Bytes& element) {
  return WriteLengthWord(stream, element.Size()) && stream.Write(element.View());
}

// The bytes of `source` in place after the position, each piece growing the
// stream as it comes; false when it cannot grow or they outgrow a length word.
bool FillInPlace(StreamBuffer& stream, std::size_t pieceSize, const PieceSource& source) {
  constexpr auto kLongest = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  std::size_t total = 0;
  for (;;) {
    if (!stream.ReserveAfterPosition(pieceSize)) return false;
    const std::size_t count = std::min(source(stream.AtPosition(), pieceSize), pieceSize);
    if (count == 0) return true;
    total += count;
    if (total > kLongest) return false;
    stream.Advance(count);
  }
}

// The element at the start of `unread`, moving `unread` past it; false when
// the stream ends before the length word or the bytes it announces.
bool ReadElement(std::string_view& unread, Bytes& element) {
  if (unread.size() < kLengthWordSize) return false;
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(unread[i]);
  unread.remove_prefix(kLengthWordSize);
  if (static_cast<std::int32_t>(length) < 0 || length > unread.size()) return false;
  element = Bytes(unread.substr(0, length));
  unread.remove_prefix(length);
  return true;
}

// Where the line at the start of `unread` ends: the offset of the LF, zero or
// 0x1A byte that ends it, or the length of `unread`. The stream is in memory,
// so one pass finds the end and the line is copied once, however long it is.
std::size_t LineEnd(std::string_view unread) {
  std::size_t i = 0;
  while (i < unread.size()) {
    const auto c = static_cast<unsigned char>(unread[i]);
    if (c == kLineFeed || IsTextEnd(c)) return i;
    // A second byte never ends the line, except a zero byte, which no text holds.
    const bool secondByteFollows = IsLeadByte(c) && i + 1 < unread.size() && unread[i + 1] != 0;
    i += secondByteFollows ? 2 : 1;
  }
  return unread.size();
}

}  // namespace

StreamHandle OpenMemoryStream() { return Registry().Open(); }

bool WriteRecord(StreamHandle h, const BytesArray& record) { return WriteRecordFrom(h, record, 0); }

bool WriteRecordFrom(StreamHandle h, const BytesArray& record, int first) {
  return WriteOrRestore(h, [&record, first](StreamBuffer& stream) {
    const std::optional<std::size_t> size = SerialisedSize(record, first);
    if (!size.has_value() || !stream.ReserveAfterPosition(*size)) return false;
    for (int i = std::max(first, 0); i < record.ElementCount(); ++i) {
      if (!WriteElement(stream, record.At(i))) return false;
    }
    return true;
  });
}

bool WriteElementFrom(StreamHandle h, std::size_t pieceSize, const PieceSource& source) {
  return WriteOrRestore(h, [pieceSize, &source](StreamBuffer& stream) {
    // The length word goes in front once the bytes behind it are all in.
    const std::size_t start = stream.Position();
    if (!WriteLengthWord(stream, 0) || !FillInPlace(stream, pieceSize, source)) return false;
    const std::size_t end = stream.Position();
    stream.Seek(start);
    WriteLengthWord(stream, end - start - kLengthWordSize);
    stream.Seek(end);
    return true;
  });
}

bool ReadRecord(StreamHandle h, BytesArray& record) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr) return false;
  std::string_view unread = stream->Unread();
  const std::size_t start = unread.size();
  try {
    // An exhausted heap fails this read like a truncated record.
    SoftAllocationFailure softly;
    BytesArray elements(record.ElementCount());
    for (int i = 0; i < elements.ElementCount(); ++i) {
      Bytes element;
      if (!ReadElement(unread, element)) return false;
      elements.Set(i, std::move(element));
    }
    record = std::move(elements);
  } catch (const std::bad_alloc&) {
    return false;
  }
  stream->Seek(stream->Position() + (start - unread.size()));
  return true;
}

bool WriteText(StreamHandle h, const Text& t) {
  return WriteOrRestore(h, [&t](StreamBuffer& stream) { return stream.Write(t.View()); });
}

bool WriteBytes(StreamHandle h, const Bytes& b) {
  return WriteOrRestore(h, [&b](StreamBuffer& stream) { return stream.Write(b.View()); });
}

Text ReadLine(StreamHandle h) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr) return Text();
  const std::string_view unread = stream->Unread();
  const std::size_t end = LineEnd(unread);
  const bool endedByLineFeed = end < unread.size() && unread[end] == kLineFeed;
  stream->Seek(stream->Position() + end + (endedByLineFeed ? 1 : 0));
  std::string_view line = unread.substr(0, end);
  if (!line.empty() && static_cast<unsigned char>(line.back()) == kCarriageReturn) {
    line.remove_suffix(1);
  }
  return Text(line);
}

bool AtEnd(StreamHandle h, bool textMode) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr) return true;
  const std::string_view unread = stream->Unread();
  if (unread.empty()) return true;
  return textMode && IsTextEnd(static_cast<unsigned char>(unread.front()));
}

bool SkipByte(StreamHandle h) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr || stream->Unread().empty()) return false;
  stream->Seek(stream->Position() + 1);
  return true;
}

bool Rewind(StreamHandle h) {
  StreamBuffer* stream = Registry().Find(h);
  if (stream == nullptr) return false;
  stream->Seek(0);
  return true;
}

void CloseStream(StreamHandle h) { Registry().Close(h); }

Bytes StreamContents(StreamHandle h) {
  StreamBuffer* stream = Registry().Find(h);
  return stream == nullptr ? Bytes() : Bytes(stream->Contents());
}
