#include "band.h"

namespace Band {

bool isWellFormed(const QString& t)
{
    if (t.size() != 10 || t[3] != u'-' || t.mid(7) != QLatin1String("MHz"))
        return false;
    for (int i : {0, 1, 2, 4, 5, 6})
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    return true;
}

static int number(const QString& t, int from)
{
    bool ok = false;
    const int v = t.mid(from, 3).toInt(&ok);
    return ok && t.mid(from, 3).size() == 3 ? v : -1;
}

int lower(const QString& t) { return number(t, 0); }
int upper(const QString& t) { return number(t, 4); }

}
