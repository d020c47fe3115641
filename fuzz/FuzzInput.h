// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Splits the fuzzer's bytes into texts and small integers, front to back.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // A text up to the next byte 0x1F (or the end).
    std::string Text()
    {
        std::string text;
        while (pos_ < size_ && data_[pos_] != 0x1F) text.push_back(static_cast<char>(data_[pos_++]));
        if (pos_ < size_) ++pos_;
        return text;
    }

    // An index from -1 to limit - 1.
    int Index(int limit)
    {
        if (pos_ >= size_) return 0;
        return static_cast<int>(data_[pos_++] % (limit + 1)) - 1;
    }

    // Any double, infinities and NaNs included, from the next eight bytes (zeros past the end).
    double Double()
    {
        unsigned char bytes[sizeof(double)] = {};
        for (size_t i = 0; i < sizeof bytes && pos_ < size_; ++i) bytes[i] = data_[pos_++];
        double value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
