// "Instructions": the user guide, loaded from "instruct.doc" at creation.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

class TInst : public QDialog {
    Q_OBJECT

public:
    explicit TInst(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

public slots:
    void FormCreate();
};
