#pragma once
// The removal of every block (a start marker through the first end marker after it, ignoring
// case) in one sweep, giving what ReplaceBlocksInString's passes give: take the first block of the
// text, remove every occurrence of its whole text, and again until no block is left. Used where a
// block holds a second start marker or a removal joins text into a new marker, which the one-pass
// removal of separate blocks does not cover. The time is linear in the text (up to a logarithm)
// for distinct, repeated, nested and unclosed blocks alike; see BlockRemoval.cpp for the one kind
// of crafted text that costs more.
//
// The markers must be of the kind the reader uses ("<P " .. ">", "<TITLE>" .. "</TITLE>",
// "<" .. ">"): the first character of the start marker stands nowhere else in it and only first in
// the end marker; the last character of the end marker stands nowhere else in it and only last in
// the start marker; neither is an ASCII letter; no start marker can overlap an end marker. Then
// start markers never overlap one another, nor do end markers, and a block holds exactly one end
// marker, at its end.

#include <string>
#include <string_view>

// True when the markers are of that kind.
bool BlockMarkersSupported(std::string_view start, std::string_view end);

// Removes the blocks from `text`. False, with the text unchanged, when the markers are not
// supported or, very rarely, when two different texts hashed alike; the caller then removes the
// blocks pass by pass.
bool RemoveBlocksLinear(std::string& text, std::string_view start, std::string_view end);
