#include "RenderOptions.h"

#include "HostError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool RenderOptions::ParseInt(const std::string& text, int64_t& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
    {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
    {
        return false;
    }
    value = v;
    return true;
}

bool RenderOptions::ParseDouble(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
    {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v))
    {
        return false;
    }
    value = v;
    return true;
}

RenderOptions RenderOptions::Parse(const std::vector<std::string>& args)
{
    RenderOptions o;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i)
    {
        std::string arg = args[i];
        if (arg.size() < 2 || arg[0] != '-')
        {
            positional.push_back(arg);
            continue;
        }
        if (arg[1] != '-')
        {
            throw HostError("unknown option " + arg);
        }
        std::string value;
        bool inlineValue = false;
        size_t eq = arg.find('=');
        if (eq != std::string::npos)
        {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const auto needValue = [&]() -> std::string
        {
            if (inlineValue)
            {
                return value;
            }
            if (i + 1 >= args.size())
            {
                throw HostError("option " + arg + " needs a value");
            }
            return args[++i];
        };

        if (arg == "--verbose")
        {
            if (inlineValue)
            {
                throw HostError("option --verbose takes no value");
            }
            o.verbose = true;
        }
        else if (arg == "--rate")
        {
            std::string v = needValue();
            if (!ParseDouble(v, o.rate) || o.rate < 1.0 || o.rate > 10000000.0)
            {
                throw HostError("bad --rate '" + v + "': expected a sample rate in Hz");
            }
        }
        else if (arg == "--block")
        {
            std::string v = needValue();
            int64_t n = 0;
            if (!ParseInt(v, n) || n < 1 || n > 1048576)
            {
                throw HostError("bad --block '" + v + "': expected 1 to 1048576 frames");
            }
            o.blockSize = static_cast<int32_t>(n);
        }
        else if (arg == "--precision")
        {
            std::string v = needValue();
            if (v == "float")
            {
                o.precision = Precision::Float;
            }
            else if (v == "double")
            {
                o.precision = Precision::Double;
            }
            else if (v == "accumulate")
            {
                o.precision = Precision::Accumulate;
            }
            else
            {
                throw HostError("bad --precision '" + v +
                                "': expected float, double or accumulate");
            }
        }
        else if (arg == "--param")
        {
            std::string v = needValue();
            size_t sep = v.find('=');
            int64_t index = 0;
            double x = 0.0;
            if (sep == std::string::npos || !ParseInt(v.substr(0, sep), index) || index < 0 ||
                index > INT32_MAX || !ParseDouble(v.substr(sep + 1), x) || x < 0.0 || x > 1.0)
            {
                throw HostError("bad --param '" + v +
                                "': expected INDEX=VALUE with a value from 0 to 1");
            }
            o.params.push_back(ParamSetting{static_cast<int32_t>(index), static_cast<float>(x)});
        }
        else if (arg == "--program")
        {
            std::string v = needValue();
            int64_t n = 0;
            if (!ParseInt(v, n) || n < 0 || n > INT32_MAX)
            {
                throw HostError("bad --program '" + v + "': expected a program number");
            }
            o.program = static_cast<int32_t>(n);
        }
        else if (arg == "--load-chunk")
        {
            o.loadChunk = needValue();
            if (o.loadChunk.empty())
            {
                throw HostError("option --load-chunk needs a file name");
            }
        }
        else if (arg == "--save-chunk")
        {
            o.saveChunk = needValue();
            if (o.saveChunk.empty())
            {
                throw HostError("option --save-chunk needs a file name");
            }
        }
        else if (arg == "--generate")
        {
            o.generate = needValue();
            if (o.generate != "demo")
            {
                throw HostError("bad --generate '" + o.generate + "': the only signal is demo");
            }
        }
        else
        {
            throw HostError("unknown option " + arg);
        }
    }

    const size_t wanted = o.generate.empty() ? 3 : 2;
    if (positional.size() != wanted)
    {
        throw HostError(o.generate.empty() ? "render needs PLUGIN IN.wav OUT.wav"
                                           : "render with --generate needs PLUGIN OUT.wav");
    }
    o.plugin = positional[0];
    if (o.generate.empty())
    {
        o.input = positional[1];
        o.output = positional[2];
    }
    else
    {
        o.output = positional[1];
    }
    if (o.plugin.empty() || o.output.empty() || (o.generate.empty() && o.input.empty()))
    {
        throw HostError("empty file name");
    }
    if (!o.saveChunk.empty() && o.saveChunk == o.output)
    {
        throw HostError("--save-chunk and the output are the same file");
    }
    return o;
}
