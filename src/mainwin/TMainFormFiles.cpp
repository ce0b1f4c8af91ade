// Open, save and import of dimension files.
#include "mainwin/TMainForm.h"

void TMainForm::OpenDimensionsClick() {}
void TMainForm::SaveAsDimensionsClick() {}
void TMainForm::OpenDosDimensionsClick() {}
