#include "apply/CandidateWalk.h"

CandidateMatch WalkCandidates(const WString& candidateVersions, const ProductVersion& installed,
                              const ProductVersion& target) {
    size_t start = 0;
    // Each pass moves past one ',', so the walk ends within the text's length.
    for (size_t comma = candidateVersions.find(u','); comma != WString::npos;
         comma = candidateVersions.find(u',', start)) {
        const ProductVersion candidate =
            ParseVersion(candidateVersions.substr(start, comma - start));
        if (installed == candidate)
            return CandidateMatch::Candidate;
        if (candidate == target)
            return CandidateMatch::TargetReached;
        start = comma + 1;
    }
    return CandidateMatch::None;
}
