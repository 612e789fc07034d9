#include "runtime/protocol/WebSocketFrameReader.h"

namespace vxrt {

namespace {

enum Opcode : unsigned {
    kContinuation = 0x0,
    kText = 0x1,
    kBinary = 0x2,
    kClose = 0x8,
    kPing = 0x9,
    kPong = 0xA,
};

}  // namespace

void WebSocketFrameReader::Append(const char* data, size_t size)
{
    if (m_failed || size == 0) return;
    // Drop what was consumed before growing, so the buffer never holds more
    // than one frame's worth of old bytes.
    if (m_consumed > 0) {
        m_in.erase(0, m_consumed);
        m_consumed = 0;
    }
    m_in.append(data, size);
}

void WebSocketFrameReader::Reset()
{
    m_in.clear();
    m_consumed = 0;
    m_partial.clear();
    m_inMessage = false;
    m_failed = false;
}

WebSocketFrameReader::Result WebSocketFrameReader::Fail()
{
    m_failed = true;
    m_in.clear();
    m_consumed = 0;
    m_partial.clear();
    return Result::Failed;
}

WebSocketFrameReader::Result WebSocketFrameReader::Next(std::string& payload)
{
    for (;;) {
        if (m_failed) return Result::Failed;
        const size_t avail = m_in.size() - m_consumed;
        if (avail < 2) return Result::NeedMore;
        const unsigned char* h = reinterpret_cast<const unsigned char*>(m_in.data()) + m_consumed;
        const bool fin = (h[0] & 0x80) != 0;
        const unsigned rsv = h[0] & 0x70;
        const unsigned opcode = h[0] & 0x0F;
        const bool masked = (h[1] & 0x80) != 0;
        const unsigned shortLen = h[1] & 0x7F;
        if (rsv != 0) return Fail();
        const bool control = (opcode & 0x8) != 0;
        if (control && (!fin || shortLen > 125)) return Fail();

        size_t headLen = 2 + (shortLen == 126 ? 2 : shortLen == 127 ? 8 : 0) + (masked ? 4 : 0);
        if (avail < headLen) return Result::NeedMore;
        unsigned long long len = shortLen;
        if (shortLen == 126) {
            len = (static_cast<unsigned>(h[2]) << 8) | h[3];
        } else if (shortLen == 127) {
            len = 0;
            for (int i = 0; i < 8; ++i) len = (len << 8) | h[2 + i];
        }
        // Checked before anything is buffered for it: the announced size is
        // the peer's word, not memory we have.
        if (len > m_maxMessage || (!control && m_partial.size() + len > m_maxMessage)) return Fail();
        if (avail - headLen < len) return Result::NeedMore;

        const size_t size = static_cast<size_t>(len);
        const char* body = m_in.data() + m_consumed + headLen;
        std::string data(body, size);
        if (masked) {
            const unsigned char* key = h + headLen - 4;
            for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(data[i] ^ key[i & 3]);
        }
        m_consumed += headLen + size;
        if (m_consumed == m_in.size()) {
            m_in.clear();
            m_consumed = 0;
        }

        switch (opcode) {
        case kText:
        case kBinary:
            if (m_inMessage) return Fail();
            if (fin) {
                payload.swap(data);
                return Result::Message;
            }
            m_inMessage = true;
            m_partial.swap(data);
            break;
        case kContinuation:
            if (!m_inMessage) return Fail();
            m_partial += data;
            if (fin) {
                m_inMessage = false;
                payload.swap(m_partial);
                m_partial.clear();
                return Result::Message;
            }
            break;
        case kClose:
            payload.swap(data);
            return Result::Close;
        case kPing:
            payload.swap(data);
            return Result::Ping;
        case kPong:
            payload.swap(data);
            return Result::Pong;
        default:
            break;  // a reserved opcode: skipped
        }
    }
}

}  // namespace vxrt
