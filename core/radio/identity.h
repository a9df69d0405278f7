#pragma once
#include <QString>

// The radio's identity records as the radio information window shows them,
// and the user name a write may store.
struct RadioIdentity {
    static inline const QString Unfilled = QStringLiteral("--------");
    QString model = Unfilled;        // addmessage.Edit1
    QString band = Unfilled;         // addmessage.Edit2
    QString admin = Unfilled;        // addmessage.Edit3
    QString saleDate = Unfilled;     // addmessage.Edit4
    QString factoryDate = Unfilled;  // addmessage.Edit5
    QString user = Unfilled;         // addmessage.Edit9
    QString userToWrite;             // addmessage.Edit8
    bool writeUser = false;          // addmessage.CheckBox2

    bool operator==(const RadioIdentity&) const = default;
};
