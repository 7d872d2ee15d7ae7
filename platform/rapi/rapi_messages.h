// The messages between the desktop's Remote API and the device, over the cable. Each message is
// a 4-byte length and that many bytes: a request is its call number (2 bytes) and arguments, a
// reply its result (4 bytes), the device's last error (4 bytes) and data. Integers are
// little-endian; a text is a 4-byte count of UTF-16 units and the units, a block of bytes a
// 4-byte count and the bytes. No message is longer than maxRapiMessage, and every count is checked
// against what is left before anything is allocated.
#ifndef PLATFORM_RAPI_RAPI_MESSAGES_H
#define PLATFORM_RAPI_RAPI_MESSAGES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t maxRapiMessage = 1024 * 1024;
// What a reader takes from the connection at a time, handing out the messages before it reads on.
constexpr size_t rapiReadChunk = 64 * 1024;
// The most a system parameter's buffer carries: a platform's name takes a few dozen bytes.
constexpr uint32_t maxSystemParameterBytes = 4096;

enum class RapiCall : uint16_t {
    regOpenKey = 1,
    regCreateKey,
    regQueryValue,
    regSetValue,
    regCloseKey,
    getStoreInformation,
    getWindow,
    getClassName,
    getWindowText,
    createFile,
    readFile,
    writeFile,
    closeHandle,
    deleteFile,
    createDirectory,
    findFirstFile,
    findNextFile,
    findClose,
    createProcess,
    // Not a call of the API: the device's window list as its scripts print it, for the tools.
    describeWindows,
    getSystemInfo,
    getVersion,
    systemParametersInfo,
};

// A message's body, built field by field; Framed() puts the length in front.
class MessageWriter {
  public:
    MessageWriter &U16(uint16_t value);
    MessageWriter &U32(uint32_t value);
    MessageWriter &Text(const std::u16string &text);
    MessageWriter &Bytes(const uint8_t *bytes, size_t count);
    // Empty when the body has grown past maxRapiMessage.
    std::vector<uint8_t> Framed() const;

  private:
    std::vector<uint8_t> body_;
};

// A message's body read field by field; a read past its end fails, and so does every read after.
class MessageReader {
  public:
    MessageReader(const uint8_t *bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool U16(uint16_t &value);
    bool U32(uint32_t &value);
    bool Text(std::u16string &text);
    bool Bytes(std::vector<uint8_t> &bytes);
    // Whether every field was read and nothing is left over.
    bool Complete() const {
        return ok_ && at_ == size_;
    }

  private:
    bool Take(size_t count, const uint8_t *&start);
    const uint8_t *bytes_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

// Cuts a stream of received bytes into message bodies. It keeps at most part of one message and
// one read's chunk: a length above the bound, or more bytes than that, makes the stream bad for
// good.
class MessageFramer {
  public:
    enum class Result { needMore, message, bad };
    void Add(const uint8_t *bytes, size_t count);
    Result Next(std::vector<uint8_t> &body);
    // Bytes received and not yet handed out as a message.
    size_t Pending() const {
        return pending_.size();
    }

  private:
    std::vector<uint8_t> pending_;
    bool bad_ = false;
};

#endif
