#pragma once

// Shows the patch's target product codes in one box captioned "List of Products" (not
// localized, shown also in quiet mode). Returns whether the list could be read.
bool ShowPatchTargets();
