#pragma once

#include "apply/ProductVersion.h"

// What the candidate list says about an installed version. The entries are tried in order,
// each a version followed by ','; text after the last ',' is not an entry.
enum class CandidateMatch {
    Candidate,     // an entry equals the installed version: apply the patch
    TargetReached, // an entry tried before any match equals the target version
    None,          // no entry matches
};

CandidateMatch WalkCandidates(const WString& candidateVersions, const ProductVersion& installed,
                              const ProductVersion& target);
