#pragma once
// Reads the frames a WebSocket server sends, from bytes in the order they
// arrived, into whole messages and control frames. Pure byte work with no
// socket, so the same code runs natively under the sanitizers and the fuzzer.
//
// What it refuses, and why: a message or frame larger than the limit (the
// engine never sends one; a peer announcing 2^40 bytes must not make us
// allocate), reserved bits (no extension was negotiated, so the payload
// cannot be read), control frames that are fragmented or longer than 125
// bytes, a continuation with no message begun and a new message inside a
// fragmented one. After a refusal the reader stays failed: the stream cannot
// be resynchronised. A frame of a reserved opcode is skipped: its length is
// known, so the frames after it are still read right.

#include <cstddef>
#include <string>

namespace vxrt {

class WebSocketFrameReader {
public:
    enum class Result {
        NeedMore,  // no complete frame buffered yet
        Message,   // a whole text or binary message
        Ping,      // a ping; the payload must be echoed in a pong
        Pong,      // a pong (ignored by the client)
        Close,     // the server closes; payload: status code and reason
        Failed     // the stream broke the protocol or the limit
    };

    explicit WebSocketFrameReader(size_t maxMessage = kDefaultMaxMessage) : m_maxMessage(maxMessage) {}

    void Append(const char* data, size_t size);
    // Takes the next result off the buffered bytes; payload receives the
    // message or control payload.
    Result Next(std::string& payload);

    // Bytes of a frame that has begun but not ended are buffered.
    bool InFrame() const { return m_in.size() > m_consumed; }
    bool HasFailed() const { return m_failed; }
    void Reset();

    static const size_t kDefaultMaxMessage = 64u * 1024u * 1024u;

private:
    Result Fail();

    const size_t m_maxMessage;
    std::string m_in;       // bytes received, not yet consumed
    size_t m_consumed = 0;  // bytes at the front of m_in already read
    std::string m_partial;  // payload of a fragmented message so far
    bool m_inMessage = false;
    bool m_failed = false;
};

}  // namespace vxrt
