#pragma once
// Small dense linear systems of the analysis code (normal equations of a few unknowns).
#include <cmath>
#include <utility>

// Solves the k x k system A c = b (A row-major; both overwritten, c left in b) by Gaussian
// elimination with partial pivoting; false when it is singular.
inline bool resoudreSysteme(int k, double *A, double *b)
{
    for (int c = 0; c < k; ++c) {
        int pivot = c;
        for (int l = c + 1; l < k; ++l)
            if (std::fabs(A[l * k + c]) > std::fabs(A[pivot * k + c])) pivot = l;
        if (A[pivot * k + c] == 0 || !std::isfinite(A[pivot * k + c])) return false;
        if (pivot != c) {
            for (int j = 0; j < k; ++j)
                std::swap(A[c * k + j], A[pivot * k + j]);
            std::swap(b[c], b[pivot]);
        }
        for (int l = c + 1; l < k; ++l) {
            const double f = A[l * k + c] / A[c * k + c];
            for (int j = c; j < k; ++j)
                A[l * k + j] -= f * A[c * k + j];
            b[l] -= f * b[c];
        }
    }
    for (int c = k - 1; c >= 0; --c) {
        double s = b[c];
        for (int j = c + 1; j < k; ++j)
            s -= A[c * k + j] * b[j];
        b[c] = s / A[c * k + c];
    }
    return true;
}
