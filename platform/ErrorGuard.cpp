#include "platform/ErrorGuard.h"

#include "platform/UserDialogs.h"

namespace logosmith {

void reportError(const std::exception& error) {
    userDialogs().showError(QString::fromUtf8(error.what()));
}

void reportUnknownError() {
    userDialogs().showError(QStringLiteral("Unknown error"));
}

} // namespace logosmith
