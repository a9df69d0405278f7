#pragma once
#include <QByteArray>
#include <QString>

// The one place where file texts meet bytes. Settings files pass between this
// program and the established Windows tools, which write the Chinese code page.
namespace TextCodec {

// Bytes for a file: the Chinese code page (GBK). A text that GBK cannot carry,
// or whose GBK bytes would read back as something else, is written as
// GB18030 and, failing that, as UTF-8, so that decode() always gives the text
// back. Plain ASCII stays ASCII.
QByteArray encode(const QString& text);

// Text of a file: UTF-8 when the bytes are valid UTF-8 (a leading byte order
// mark is dropped), otherwise GB18030, of which GBK is a subset.
QString decode(const QByteArray& bytes);

}
