// 64-bit division for the 32-bit build, which the compiler calls for every division of a
// 64-bit number. The compiler's own come with unwind tables that a program without exceptions
// never reads, in a section that costs the file 512 bytes, and with code five times this size.
#ifdef __i386__

namespace {

unsigned long long divide(unsigned long long dividend, unsigned long long divisor,
                          unsigned long long* remainder) {
    // Nearly every division here (the digits of a number, milliseconds to seconds) fits in 32
    // bits, where the processor divides in one instruction.
    if ((dividend | divisor) >> 32 == 0) {
        const auto shortDividend = static_cast<unsigned>(dividend);
        const auto shortDivisor = static_cast<unsigned>(divisor);
        *remainder = shortDividend % shortDivisor;
        return shortDividend / shortDivisor;
    }
    unsigned long long quotient = 0;
    unsigned long long rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        rest = rest << 1 | (dividend >> bit & 1);
        if (rest >= divisor) {
            rest -= divisor;
            quotient |= 1ull << bit;
        }
    }
    *remainder = rest;
    return quotient;
}

} // namespace

extern "C" unsigned long long __udivdi3(unsigned long long dividend, unsigned long long divisor) {
    unsigned long long remainder;
    return divide(dividend, divisor, &remainder);
}

extern "C" unsigned long long __udivmoddi4(unsigned long long dividend, unsigned long long divisor,
                                           unsigned long long* remainder) {
    unsigned long long rest;
    const unsigned long long quotient = divide(dividend, divisor, &rest);
    if (remainder != nullptr) {
        *remainder = rest;
    }
    return quotient;
}

extern "C" unsigned long long __umoddi3(unsigned long long dividend, unsigned long long divisor) {
    unsigned long long remainder;
    divide(dividend, divisor, &remainder);
    return remainder;
}

#endif
