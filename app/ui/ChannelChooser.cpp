#include "app/ui/ChannelChooser.h"

#include "app/ui/Controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace ChannelChooser {

void make(QWidget *frame, QLabel *&caption, QComboBox *&cboChannel, QPushButton *&cmdPrev,
          QPushButton *&cmdNext, const QString &captionName, const QString &captionTag)
{
    caption = Controls::label(captionName, "Channel", captionTag);
    cboChannel = Controls::list("cboChannel");
    cmdPrev = Controls::button("cmdPrev", "Prev.");
    cmdNext = Controls::button("cmdNext", "Next");
    auto *row = new QHBoxLayout(frame);
    row->addWidget(caption);
    row->addWidget(cboChannel);
    row->addStretch(1);
    row->addWidget(cmdPrev);
    row->addWidget(cmdNext);
}

int fill(QComboBox *list, int count, int chosen)
{
    list->clear();
    for (int ch = 1; ch <= count; ++ch) list->addItem(QString::number(ch));
    const int ch = chosen >= 1 && chosen <= count ? chosen : 1;
    list->setCurrentIndex(ch - 1);
    return ch;
}

int step(QComboBox *list, int delta)
{
    const int last = list->count();
    if (last == 0)
        return 0;
    int ch = list->currentText().toInt() + delta;
    if (ch < 1)
        ch = last;
    else if (ch > last)
        ch = 1;
    list->setCurrentIndex(ch - 1);
    return ch;
}

}  // namespace ChannelChooser
