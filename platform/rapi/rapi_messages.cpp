// Writing, reading and framing the cable's messages.
#include "rapi/rapi_messages.h"

#include <cstring>

namespace {

uint32_t LittleEndian32(const uint8_t *bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

} // namespace

MessageWriter &MessageWriter::U16(uint16_t value) {
    body_.push_back(static_cast<uint8_t>(value));
    body_.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
}

MessageWriter &MessageWriter::U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        body_.push_back(static_cast<uint8_t>(value >> shift));
    }
    return *this;
}

MessageWriter &MessageWriter::Text(const std::u16string &text) {
    U32(static_cast<uint32_t>(text.size()));
    for (char16_t unit : text) {
        U16(static_cast<uint16_t>(unit));
    }
    return *this;
}

MessageWriter &MessageWriter::Bytes(const uint8_t *bytes, size_t count) {
    U32(static_cast<uint32_t>(count));
    if (count > 0) {
        body_.insert(body_.end(), bytes, bytes + count);
    }
    return *this;
}

std::vector<uint8_t> MessageWriter::Framed() const {
    if (body_.size() > maxRapiMessage) {
        return {};
    }
    std::vector<uint8_t> framed;
    framed.reserve(body_.size() + 4);
    const uint32_t size = static_cast<uint32_t>(body_.size());
    for (int shift = 0; shift < 32; shift += 8) {
        framed.push_back(static_cast<uint8_t>(size >> shift));
    }
    framed.insert(framed.end(), body_.begin(), body_.end());
    return framed;
}

bool MessageReader::Take(size_t count, const uint8_t *&start) {
    if (!ok_ || count > size_ - at_) {
        ok_ = false;
        return false;
    }
    start = bytes_ + at_;
    at_ += count;
    return true;
}

bool MessageReader::U16(uint16_t &value) {
    const uint8_t *start = nullptr;
    if (!Take(2, start)) {
        return false;
    }
    value = static_cast<uint16_t>(start[0] | start[1] << 8);
    return true;
}

bool MessageReader::U32(uint32_t &value) {
    const uint8_t *start = nullptr;
    if (!Take(4, start)) {
        return false;
    }
    value = LittleEndian32(start);
    return true;
}

bool MessageReader::Text(std::u16string &text) {
    uint32_t units = 0;
    const uint8_t *start = nullptr;
    // The count is checked against the bytes left before the text is made.
    if (!U32(units) || units > (size_ - at_) / 2 || !Take(size_t(units) * 2, start)) {
        ok_ = false;
        return false;
    }
    text.resize(units);
    for (uint32_t i = 0; i < units; ++i) {
        text[i] = static_cast<char16_t>(start[2 * i] | start[2 * i + 1] << 8);
    }
    return true;
}

bool MessageReader::Bytes(std::vector<uint8_t> &bytes) {
    uint32_t count = 0;
    const uint8_t *start = nullptr;
    if (!U32(count) || !Take(count, start)) {
        ok_ = false;
        return false;
    }
    bytes.assign(start, start + count);
    return true;
}

void MessageFramer::Add(const uint8_t *bytes, size_t count) {
    if (bad_ || count == 0) {
        return;
    }
    if (pending_.size() + count > maxRapiMessage + 4 + rapiReadChunk) {
        bad_ = true;
        pending_.clear();
        return;
    }
    pending_.insert(pending_.end(), bytes, bytes + count);
}

MessageFramer::Result MessageFramer::Next(std::vector<uint8_t> &body) {
    if (bad_) {
        return Result::bad;
    }
    if (pending_.size() < 4) {
        return Result::needMore;
    }
    const uint32_t size = LittleEndian32(pending_.data());
    if (size > maxRapiMessage) {
        bad_ = true;
        pending_.clear();
        return Result::bad;
    }
    if (pending_.size() - 4 < size) {
        return Result::needMore;
    }
    body.assign(pending_.begin() + 4, pending_.begin() + 4 + size);
    pending_.erase(pending_.begin(), pending_.begin() + 4 + size);
    return Result::message;
}
