// "Quelf Special Instructions": dynamic variables, undo and the drafting aids,
// loaded from "QelSpIns.doc" at creation.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

class TQelSpInst : public QDialog {
    Q_OBJECT

public:
    explicit TQelSpInst(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

public slots:
    void FormCreate();
};
