#include "model/Format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatFixed(long double v, int width, int decimals)
{
    std::string body;
    if (std::isnan(v)) {
        body = "NaN";
    } else if (std::isinf(v)) {
        body = v > 0 ? "+Inf" : "-Inf";
    } else {
        if (decimals < 0) decimals = 0;
        if (decimals > 30) decimals = 30;
        char buf[128];
        // Values beyond 1e60 would need more room than a readout can show.
        if (std::fabs(v) >= 1e60L) {
            std::snprintf(buf, sizeof buf, "%.*Le", decimals, v);
        } else {
            std::snprintf(buf, sizeof buf, "%.*Lf", decimals, v);
        }
        body = buf;
        // "-0.000" reads as 0 to a user.
        if (body[0] == '-') {
            bool allZero = true;
            for (size_t i = 1; i < body.size(); ++i)
                if (body[i] != '0' && body[i] != '.') {
                    allZero = false;
                    break;
                }
            if (allZero) body.erase(0, 1);
        }
    }
    if (static_cast<int>(body.size()) < width) body.insert(0, static_cast<size_t>(width) - body.size(), ' ');
    return body;
}

std::string FormatFixed10(long double v, int width, int decimals)
{
    std::string s = FormatFixed(v, width, decimals);
    if (s.size() > 10) s.resize(10);
    return s;
}

std::string FormatInt(long long v, int width)
{
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

long double ParseNumber(const std::string& text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string acc;
    if (i < n && (text[i] == '+' || text[i] == '-')) acc += text[i++];
    bool digits = false;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        acc += text[i++];
        digits = true;
    }
    if (i < n && text[i] == '.') {
        acc += text[i++];
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            acc += text[i++];
            digits = true;
        }
    }
    if (!digits) return 0.0L;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        std::string ex = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) ex += text[j++];
        bool expDigits = false;
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ex += text[j++];
            expDigits = true;
        }
        if (expDigits) acc += ex;
    }
    long double v = std::strtold(acc.c_str(), nullptr);
    return v;
}

std::string FormatShort1(long double v)
{
    if (!std::isfinite(v)) return FormatFixed(v, 0, 1);
    long double r = std::round(v * 10.0L) / 10.0L;
    if (r == 0) return "0";
    if (std::fabs(r - std::round(r)) < 1e-9L) return FormatFixed(std::round(r), 0, 0);
    return FormatFixed(r, 0, 1);
}
