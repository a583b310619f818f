// One bounds-checked reader for bytes that come from outside the program (resource images,
// string-table blocks, files). Every read checks the remaining length first; a failed read
// leaves the position unchanged and records what was being read and where, so callers can say
// what is wrong with the input instead of reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
  public:
    ByteReader(const void* data, size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

    size_t offset() const { return offset_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - offset_; }
    bool atEnd() const { return offset_ == size_; }
    const std::uint8_t* current() const { return data_ + offset_; }

    bool readU16(std::uint16_t& value, const char* what) {
        if (!require(2, what))
            return false;
        value = static_cast<std::uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
        offset_ += 2;
        return true;
    }

    bool readU32(std::uint32_t& value, const char* what) {
        if (!require(4, what))
            return false;
        value = static_cast<std::uint32_t>(data_[offset_]) |
                static_cast<std::uint32_t>(data_[offset_ + 1]) << 8 |
                static_cast<std::uint32_t>(data_[offset_ + 2]) << 16 |
                static_cast<std::uint32_t>(data_[offset_ + 3]) << 24;
        offset_ += 4;
        return true;
    }

    // Hands out a view of the next `count` bytes and steps over them.
    bool readBytes(size_t count, const std::uint8_t*& bytes, const char* what) {
        if (!require(count, what))
            return false;
        bytes = data_ + offset_;
        offset_ += count;
        return true;
    }

    bool skip(size_t count, const char* what) {
        if (!require(count, what))
            return false;
        offset_ += count;
        return true;
    }

    // Moves to the next multiple of `alignment` (a power of two) from the start.
    bool alignTo(size_t alignment, const char* what) {
        const size_t padding = (alignment - (offset_ & (alignment - 1))) & (alignment - 1);
        return padding <= remaining() ? skip(padding, what) : fail(what, padding);
    }

    // What went wrong with the first failed read, empty while none failed.
    const std::string& error() const { return error_; }

  private:
    bool require(size_t count, const char* what) {
        if (count <= remaining())
            return true;
        return fail(what, count);
    }

    bool fail(const char* what, size_t count) {
        if (error_.empty()) {
            error_ = std::string(what) + ": needs " + std::to_string(count) + " bytes at offset " +
                     std::to_string(offset_) + ", " + std::to_string(remaining()) + " left";
        }
        return false;
    }

    const std::uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
    std::string error_;
};
