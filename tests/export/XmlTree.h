#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <memory>

// A written timeline read back into a small element tree, so tests check what
// an editor would read rather than the text. parse() leaves error set when the
// document is not well-formed.
struct XmlNode
{
    QString name;
    QMap<QString, QString> attributes;
    QString text;
    QList<std::shared_ptr<XmlNode>> children;

    const XmlNode *child(const QString &childName) const
    {
        for (const auto &c : children) {
            if (c->name == childName)
                return c.get();
        }
        return nullptr;
    }
    QList<const XmlNode *> all(const QString &childName) const
    {
        QList<const XmlNode *> out;
        for (const auto &c : children) {
            if (c->name == childName)
                out.append(c.get());
        }
        return out;
    }
    QString value(const QString &childName) const
    {
        const XmlNode *c = child(childName);
        return c ? c->text : QString();
    }
    // Follows a path of first children, "media/video".
    const XmlNode *at(const QString &path) const
    {
        const XmlNode *node = this;
        for (const QString &part : path.split(QLatin1Char('/'))) {
            node = node ? node->child(part) : nullptr;
        }
        return node;
    }
    // Every descendant with this name, depth first.
    void collect(const QString &descendant, QList<const XmlNode *> &out) const
    {
        for (const auto &c : children) {
            if (c->name == descendant)
                out.append(c.get());
            c->collect(descendant, out);
        }
    }
};

struct XmlDocument
{
    std::shared_ptr<XmlNode> root;
    QString error;
    QString doctypeName;

    static XmlDocument parse(const QByteArray &bytes)
    {
        XmlDocument doc;
        QXmlStreamReader reader(bytes);
        QList<XmlNode *> stack;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isDTD()) {
                doc.doctypeName = reader.dtdName().toString();
            } else if (reader.isStartElement()) {
                auto node = std::make_shared<XmlNode>();
                node->name = reader.name().toString();
                for (const auto &a : reader.attributes())
                    node->attributes.insert(a.name().toString(), a.value().toString());
                if (stack.isEmpty())
                    doc.root = node;
                else
                    stack.last()->children.append(node);
                stack.append(node.get());
            } else if (reader.isCharacters() && !reader.isWhitespace() && !stack.isEmpty()) {
                stack.last()->text += reader.text().toString();
            } else if (reader.isEndElement()) {
                stack.removeLast();
            }
        }
        if (reader.hasError())
            doc.error = reader.errorString() + QStringLiteral(" at line ") + QString::number(reader.lineNumber());
        return doc;
    }

    const XmlNode *sequence() const { return root ? root->at(QStringLiteral("project/children/sequence")) : nullptr; }
    QList<const XmlNode *> videoTracks() const
    {
        const XmlNode *video = sequence() ? sequence()->at(QStringLiteral("media/video")) : nullptr;
        return video ? video->all(QStringLiteral("track")) : QList<const XmlNode *>();
    }
    QList<const XmlNode *> audioTracks() const
    {
        const XmlNode *audio = sequence() ? sequence()->at(QStringLiteral("media/audio")) : nullptr;
        return audio ? audio->all(QStringLiteral("track")) : QList<const XmlNode *>();
    }
};
