#pragma once
// Whole-module configuration transfer: Upload reads every setting of the
// module into the state, Download writes the state back, checking every
// write against the module's reply.

void Upload();
void Download();

// After a whole download succeeded, read every setting back and report
// any the module did not keep (off unless chosen).
bool &VerifyAfterDownload();
