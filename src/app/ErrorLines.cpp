#include "app/ErrorLines.h"

#include <cstdio>
#include <iostream>

void WriteErrorsLineByLine()
{
    // std::cerr writes through stderr's own buffer (the streams are kept in
    // step with C's), so a line-buffered stderr gathers each line of both;
    // std::cerr must then stop flushing after every `<<`.
    std::setvbuf(stderr, nullptr, _IOLBF, BUFSIZ);
    std::cerr.unsetf(std::ios::unitbuf);
}
