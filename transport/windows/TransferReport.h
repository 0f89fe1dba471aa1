#pragma once

namespace logosmith {

struct TransferResult;

// Tells the person how a transfer ended, as the program always has: the two port problems
// (" Port does not exist ", " Check your port setting ") in a plain message box, any other
// failure in the error report, nothing after success.
void reportTransferResult(const TransferResult& result);

} // namespace logosmith
