#pragma once
// The nearest of a few known names to a misspelled one.

#include <string>
#include <vector>

// The candidate closest to `word` by edits (letter case counts half), when it
// is close enough to be the meant one; empty otherwise.
std::string NearestName(const std::string& word, const std::vector<std::string>& candidates);
// "; did you mean 'NAME'?" for the nearest candidate, or empty.
std::string DidYouMean(const std::string& word, const std::vector<std::string>& candidates);
