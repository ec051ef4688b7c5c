#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

// One HTTP request as the remote control routes it: the request line's
// words, the decoded path and query, the header fields and the body bytes
// (exactly Content-Length bytes after the blank line that ends the head).
struct HttpRequest
{
    QString method;
    QString target;
    QString path;          // fully percent-decoded
    QUrlQuery query;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool validRequestLine = false; // method and target present

    // Value of the first header with that name (case-insensitive), or a null array.
    QByteArray header(const QByteArray &name) const;
};

// Collects the bytes of one connection until a whole request has arrived:
// the head (up to the first CR LF CR LF) and then as many body bytes as its
// Content-Length declares. Bytes are located by offset in the received data,
// never in decoded text. Not thread-safe; one assembler per connection.
class HttpRequestAssembler
{
public:
    static constexpr qsizetype maxHeadBytes = 16 * 1024;
    static constexpr qsizetype maxBodyBytes = 1024 * 1024;

    enum class State {
        NeedMore,     // keep reading
        Complete,     // request() holds the request
        HeadTooLarge, // answer 413 and close
        BodyTooLarge, // answer 413 and close
        BadRequest    // unreadable Content-Length: answer 400 and close
    };

    // Appends received bytes and reports where the request stands. After
    // Complete or an error, further bytes are ignored.
    State append(const QByteArray &bytes);
    State state() const { return m_state; }
    const HttpRequest &request() const { return m_request; }

    // Parses a complete head (request line and header fields, without the
    // blank line) into request; lines without a colon are skipped.
    static void parseHead(const QByteArray &head, HttpRequest &request);

private:
    QByteArray m_buffer;
    qsizetype m_headEnd = -1;  // offset of the first body byte
    qsizetype m_contentLength = 0;
    State m_state = State::NeedMore;
    HttpRequest m_request;
};
