#ifndef KATREL_NUMBER2CSTRING_H
#define KATREL_NUMBER2CSTRING_H

// Formats a number into one shared static buffer of 50 bytes. The text is
// valid only until the next call of any overload: write it out first.

const char* number2str(int i);
const char* number2str(unsigned int u);
const char* number2str(unsigned long u);
const char* number2str(float f);
const char* number2str(double d);

#endif
