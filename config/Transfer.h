#pragma once
// Whole-module configuration transfer: Upload reads every setting of the
// module into the state, Download writes the state back, checking every
// write against the module's reply.

void Upload();
void Download();
