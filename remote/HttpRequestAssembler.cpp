#include "remote/HttpRequestAssembler.h"

#include <QUrl>

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

void HttpRequestAssembler::parseHead(const QByteArray &head, HttpRequest &request)
{
    const QList<QByteArray> lines = head.split('\n');
    bool first = true;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (first) {
            first = false;
            // The request line is split at every single blank, keeping empty
            // parts, so "GET  /x" has an empty target.
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() < 2)
                continue;
            request.method = QString::fromUtf8(parts.at(0));
            request.target = QString::fromUtf8(parts.at(1));
            request.validRequestLine = true;
            const QUrl url(request.target);
            request.path = url.path(QUrl::FullyDecoded);
            request.query = QUrlQuery(url.query(QUrl::FullyEncoded));
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
}

HttpRequestAssembler::State HttpRequestAssembler::append(const QByteArray &bytes)
{
    if (m_state != State::NeedMore)
        return m_state;
    m_buffer.append(bytes);

    if (m_headEnd < 0) {
        const qsizetype blank = m_buffer.indexOf("\r\n\r\n");
        if (blank < 0) {
            if (m_buffer.size() > maxHeadBytes)
                m_state = State::HeadTooLarge;
            return m_state;
        }
        if (blank + 4 > maxHeadBytes)
            return m_state = State::HeadTooLarge;
        m_headEnd = blank + 4;
        parseHead(m_buffer.left(blank), m_request);

        const QByteArray length = m_request.header("Content-Length");
        if (!length.isNull()) {
            bool ok = false;
            const qlonglong value = length.toLongLong(&ok);
            if (!ok || value < 0)
                return m_state = State::BadRequest;
            if (value > maxBodyBytes)
                return m_state = State::BodyTooLarge;
            m_contentLength = value;
        } else if (!m_request.header("Transfer-Encoding").isNull()) {
            // Chunked bodies are not spoken here; refuse rather than guess.
            return m_state = State::BadRequest;
        }
    }

    if (m_buffer.size() - m_headEnd < m_contentLength)
        return m_state;
    m_request.body = m_buffer.mid(m_headEnd, m_contentLength);
    m_buffer.clear();
    return m_state = State::Complete;
}
