#include "transport/windows/TransferReport.h"

#include "platform/UserDialogs.h"
#include "transport/PortSender.h"

namespace logosmith {

void reportTransferResult(const TransferResult& result) {
    if (result.succeeded())
        return;
    const QString text = QString::fromStdString(result.message);
    if (result.isPortProblem())
        userDialogs().showMessageWithDetails(text, QString::fromStdString(result.reason));
    else
        userDialogs().showError(text);
}

} // namespace logosmith
